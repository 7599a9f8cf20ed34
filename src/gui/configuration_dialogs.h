#pragma once
// The Configuration menu's dialogs: the two directories, the directories and files, the
// interface flags, the database connection, the list of interpretation files and "My city".
// Each reads the settings of the run, checks what the user typed with the rules (and
// messages) of `tellurim options set`, `tellurim interp` and `tellurim db test`, and writes on
// OK through the same locked, atomic writers. Cancel writes nothing.

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// moc cannot read the string table's X-macro lists.
#ifndef Q_MOC_RUN
#include "files/directories.h"
#include "files/option_keys.h"
#include "files/options_file.h"
#include "gui/tellurim_app.h"
#endif

class QCheckBox;
class QDialogButtonBox;
class QFormLayout;
class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;

namespace tellurim {

// The dialog of a Configuration command, not yet shown (null for a command that has none).
QDialog* make_configuration_dialog(Str command, TellurimApp& app, QWidget* parent);

// A dialog whose fields are settings of `tellurim options set`: each field is bound to its
// key, and OK sets, in field order, every key whose field differs from the record. The first
// refusal is shown (caption "Error"), its field takes the focus and nothing is written.
class KeyedDialog : public QDialog {
    Q_OBJECT
public:
    KeyedDialog(TellurimApp& app, const QString& title, QWidget* parent);

public slots:
    void accept() override;

protected:
    // What a binding sets: the key's values, or nullopt when the record already holds them.
    using Wanted = std::function<std::optional<std::vector<std::string>>(const OptionContext&)>;
    struct Binding {
        const OptionKey* key;
        QWidget* focus;
        Wanted wanted;
    };
    // A line edit (object name `name`) bound to `key`, showing its value.
    QLineEdit* bind_line(const char* key, const char* name);
    // A check box bound to a yes/no key.
    QCheckBox* bind_check(const char* key, Str label, const char* name);
    void bind(const char* key, QWidget* focus, Wanted wanted);
    // Applies the bindings to `o`; the refusal and its field, or nullopt.
    std::optional<std::pair<std::string, QWidget*>> apply(Options& o, MessageSink& messages) const;
    // The bindings applied to a copy of the run's record; refusals are shown.
    std::optional<Options> checked();
    // OK and Cancel, Enter and Escape.
    QDialogButtonBox* buttons();
    OptionContext context(Options& o, MessageSink& messages) const;

    TellurimApp& m_app;
    std::vector<Binding> m_bindings;
};

// "&Home directory..." and "H&oroscopes directory...": the current directory and the new one,
// checked, write-tested, stored in the registry file and filled with the old one's files.
class DirectoryDialog : public QDialog {
    Q_OBJECT
public:
    DirectoryDialog(DirectoryKind kind, TellurimApp& app, QWidget* parent);
public slots:
    void accept() override;

private:
    DirectoryKind m_kind;
    TellurimApp& m_app;
    QLineEdit* m_new;
};

// "Directories and &files...": the eight paths and names, checked in the dialog's order; on
// OK the configuration check of start-up runs again.
class PathsDialog : public QDialog {
    Q_OBJECT
public:
    PathsDialog(TellurimApp& app, QWidget* parent);
public slots:
    void accept() override;

private:
    OptionsPaths values() const;
    QLineEdit* field(PathsField f) const;

    TellurimApp& m_app;
    OptionsPaths m_initial;
    QLineEdit *m_stars, *m_countries, *m_tcl, *m_editor, *m_ini, *m_save, *m_country, *m_state;
};

// "&Interface...": the six bar flags, which act at the next start.
class InterfaceDialog : public KeyedDialog {
    Q_OBJECT
public:
    InterfaceDialog(TellurimApp& app, QWidget* parent);
};

// "&Database...": the connection, the mapping file and "&Test" (the test of `tellurim db test`
// with the values typed).
class DatabaseDialog : public KeyedDialog {
    Q_OBJECT
public:
    DatabaseDialog(TellurimApp& app, QWidget* parent);
public slots:
    bool test_connection();
};

// "My &city...": the user's default place, typed, found in the atlas ("&Find Lon Lat TZ") or
// asked of the online geocoding service ("&Google Maps"), with the search's feedback.
class MyCityDialog : public KeyedDialog {
    Q_OBJECT
public:
    MyCityDialog(TellurimApp& app, QWidget* parent);
    QString feedback() const;
public slots:
    void find_city();
    void geocode();

private:
    void show_place(const Options& o);

    QLineEdit *m_city, *m_county, *m_state, *m_country, *m_longitude, *m_latitude, *m_correction;
    QPlainTextEdit* m_feedback;
    std::vector<std::string> m_found;  // the search that gave the fields, set first on OK
    std::string m_time_zone;           // the place's time-zone number, as the search gave it
};

// "&List of interpretation files...": the list, edited with "&Add" and "&Delete"; on OK it
// replaces the list, which is saved and indexed as `tellurim interp add` does.
class InterpListDialog : public QDialog {
    Q_OBJECT
public:
    InterpListDialog(TellurimApp& app, QWidget* parent);
public slots:
    void accept() override;
    void add();
    void remove();

private:
    TellurimApp& m_app;
    QTreeWidget* m_files;
    QLineEdit *m_id, *m_path;
};

}  // namespace tellurim
