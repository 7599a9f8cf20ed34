#pragma once
// What the drawing, fonts and colours dialogs share: a dialog whose fields are rows of the
// settings (the keys of `tellurim options set`), OK and Cancel, and a colour field. On OK the
// fields whose values differ from what they showed are applied through the same rows and the
// same locked save as the command line; a refused value is told, its field takes the focus and
// the dialog stays open. Cancel writes nothing.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

// moc cannot read the string table's X-macro lists.
#ifndef Q_MOC_RUN
#include "base/strings.h"
#include "gui/tellurim_app.h"
#endif

class QBoxLayout;
class QLineEdit;
class QToolButton;

namespace tellurim {

// An ARGB colour typed as "#AARRGGBB" (or "#RRGGBB" without alpha), with a swatch button that
// opens the colour chooser.
class ColourField : public QWidget {
    Q_OBJECT
public:
    ColourField(bool with_alpha, QWidget* parent = nullptr);
    QString text() const;
    void set_text(const QString& text);
    QLineEdit* edit() const { return m_edit; }
    QToolButton* swatch() const { return m_swatch; }
    // Opens the colour chooser on the current colour.
    void choose();

private:
    void update_swatch();
    bool m_alpha;
    QLineEdit* m_edit;
    QToolButton* m_swatch;
};

// "#AARRGGBB" of an ARGB colour; "#RRGGBB" of a COLORREF (red in the low byte).
QString argb_text(Argb c);
QString colorref_text(ColorRef c);

class DrawingFormDialog : public QDialog {
    Q_OBJECT
public:
    // One change to apply: the row's edit, and how its field is shown and focused when refused.
    struct Pending {
        OptionEdit edit;
        std::function<void()> focus;
    };
    // The changes OK applies.
    std::vector<Pending> changes() const;

public slots:
    void accept() override;

protected:
    // Titled after its menu command ("&Colors..." gives "Colors").
    DrawingFormDialog(TellurimApp& app, Str command, QWidget* parent);
    // A field: the row it edits, the widget focused when it is refused, and how its values are
    // read. What it shows when registered is its starting point.
    void add_field(std::string key, QWidget* focus, std::function<std::vector<std::string>()> values);
    // Puts `body` above the OK and Cancel buttons.
    void finish(QLayout* body);
    // More changes, for the dialogs that edit tables.
    virtual void add_changes(std::vector<Pending>&) const {}
    // The value of a row in the settings in force, as `tellurim options get` prints it.
    std::string current(const std::string& key) const;

    TellurimApp& m_app;
    Options m_shown;  // the settings the dialog opened with

private:
    struct Field {
        std::string key;
        QWidget* focus;
        std::function<std::vector<std::string>()> values;
        std::vector<std::string> shown;
    };
    std::vector<Field> m_fields;
};

// Puts the focus on `w` with its whole text selected (a line edit, or an editable combo box).
void focus_field(QWidget* w);
QString tr_drawing(Str s);
std::string text_of(const QString& s);

}  // namespace tellurim
