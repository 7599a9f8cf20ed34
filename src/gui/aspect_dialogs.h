#pragma once
// The aspect settings: the aspect table editor ("Aspects"), the Hindu aspect table ("Hindu
// aspects") and the chart window's two aspect filters ("Aspects on Planets", "Aspects on
// Houses"). Each checks its fields with the code of the `tellurim` command that edits the same
// table, and writes on OK through the same file writers; Cancel writes nothing.

#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// moc cannot read the string table's X-macro lists.
#ifndef Q_MOC_RUN
#include "astro/aspects.h"
#include "gui/tellurim_app.h"
#endif

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace tellurim {

// Shows a field's failure (caption "Error") and puts the focus on the field, its text selected.
void refuse_field(MessageSink& messages, QWidget* field, const std::string& text, const std::string& caption);
// Sets one row of `tellurim options set` (key and values) on `o`: nullopt, or its message.
std::optional<std::string> set_option_key(TellurimApp& app, Options& o, const std::string& key,
                                          const std::vector<std::string>& values);

class AspectsDialog : public QDialog {
    Q_OBJECT
public:
    AspectsDialog(TellurimApp& app, QWidget* parent = nullptr);
    // The rows as edited so far (the selected one as last rebuilt).
    const std::vector<AspectDef>& rows() const { return m_rows; }
    // "Test": rebuilds the selected row from the fields; false after showing the failure.
    bool rebuild_current();
    // "&Add" and "&Delete".
    void add_row();
    void delete_row();
    void set_colour(std::uint32_t argb);
    // OK: the selected row rebuilt, the table sorted and saved; the dialog stays open on a failure.
    void accept() override;

private:
    void show_row(int index);
    void row_changed(int index);
    AspectFields fields() const;
    // Shows the failure of a check on its field; false.
    bool refused(const AspectCheck& check);

    TellurimApp& m_app;
    std::vector<AspectDef> m_rows;
    int m_current = -1;
    std::uint32_t m_colour = 0xFF000000;
    QListWidget* m_list;
    QLineEdit* m_name;
    QLineEdit* m_degrees;
    QLineEdit* m_orb;
    QPushButton* m_colour_button;
    QLineEdit* m_pen_size;
    QLineEdit* m_hot_spot;
    QComboBox* m_pen_type;
    QCheckBox* m_draw;
    QCheckBox* m_more_opaque;
    QCheckBox* m_show_information;
};

// Per planet, the signs it aspects counted from its own ("Signs from planet position") and one
// pen for all its aspects, as `tellurim hindu-aspects set` changes them.
class HinduAspectsDialog : public QDialog {
    Q_OBJECT
public:
    HinduAspectsDialog(TellurimApp& app, QWidget* parent = nullptr);
    void select_planet(int planet);
    // OK: every planet changed is written, with the checks and rules of the command line.
    void accept() override;

private:
    struct PlanetEdit {
        std::array<bool, 12> offsets{};
        std::string pen;  // the pen's text as shown
        bool changed = false;
    };
    void keep_planet();

    TellurimApp& m_app;
    HinduAspectTable m_table;
    std::array<PlanetEdit, kPlanetRows> m_edits{};
    std::array<std::string, kPlanetRows> m_pens_shown{};
    int m_planet = -1;
    QComboBox* m_planets;
    std::array<QCheckBox*, 12> m_offsets{};
    QLineEdit* m_pen;
};

// "Aspects on Planets" or "Aspects on Houses" of one chart window: per tab (inside chart,
// outside chart) the boxes of the "Aspects" column and of the "Hide:" column, and the modes.
// "Redra&w" (and OK) apply them to the chart and redraw it, "&Init" ticks every aspect and shows
// every body, "S&et as default" stores them in the options; Cancel gives the chart back its own.
class AspectFilterDialog : public QDialog {
    Q_OBJECT
public:
    AspectFilterDialog(TellurimApp& app, OpenChart& chart, bool houses, std::function<void()> redraw,
                       QWidget* parent = nullptr);
    QCheckBox* box(int tab, bool hide, int index) const;
    QCheckBox* mode(int index) const { return m_modes[static_cast<std::size_t>(index)]; }
    void redraw();
    void init();
    bool set_as_default();
    void accept() override;
    void reject() override;

private:
    // Applies the boxes to `o` through the rows of `tellurim options set aspect-filters...`.
    void apply(Options& o) const;
    void show_masks(const DrawingOptions& d);

    TellurimApp& m_app;
    OpenChart& m_chart;
    bool m_houses;
    std::function<void()> m_redraw;
    DrawingOptions m_before;  // the chart's own, given back by Cancel
    std::vector<int> m_bodies;  // planet indices or house numbers, one per row of boxes
    std::array<std::vector<QCheckBox*>, 2> m_aspects;
    std::array<std::vector<QCheckBox*>, 2> m_hide;
    std::array<QCheckBox*, 4> m_modes{};
};

}  // namespace tellurim
