#pragma once
// The Options menu's dialogs of the chart's look: "Drawing" (the rings, rotation and
// rendering), "Fonts" (the five text fonts), "Colors" (the stars' classes, houses, pen,
// backgrounds, signs and background image), "Planets Colors" (each planet's glyph style by
// sign and motion) and "Planets Colors in Houses" (each planet's halo by house). Each field is
// named after the setting it edits (its object name is the key of `tellurim options set`).

#include <QStringList>
#include <array>

#include "gui/drawing_form.h"
#ifndef Q_MOC_RUN
#include "files/option_keys.h"
#endif

class QComboBox;
class QTableWidget;

namespace tellurim {

class DrawingDialog : public DrawingFormDialog {
    Q_OBJECT
public:
    DrawingDialog(TellurimApp& app, QWidget* parent = nullptr);
};

class FontsDialog : public DrawingFormDialog {
    Q_OBJECT
public:
    FontsDialog(TellurimApp& app, QWidget* parent = nullptr);
    // The font chooser of one entry (0 global ... 4 tooltips), its choice put in the row.
    void choose_font(int entry);
};

class ColoursDialog : public DrawingFormDialog {
    Q_OBJECT
public:
    ColoursDialog(TellurimApp& app, QWidget* parent = nullptr);
};

// A planet chooser over a table of texts per planet; the changed rows of every planet are
// applied on OK, each as one edit of its own key.
class PlanetTableDialog : public DrawingFormDialog {
    Q_OBJECT
public:
    struct Column {
        Str header;
        GlyphField kind;
    };
    QComboBox* planets() const { return m_planets; }
    QTableWidget* table() const { return m_table; }

protected:
    // `key` is the settings' key of a table row, "%1" standing for the planet and "%2" for the
    // row's own part of the key ("glyphs.%1.%2" with "aries.direct").
    PlanetTableDialog(TellurimApp& app, Str command, QString key, std::vector<Column> columns, QStringList row_labels,
                      QStringList row_keys, QWidget* parent);
    // Fills the texts of every planet: texts[planet][row][column].
    using Texts = std::vector<std::vector<std::vector<QString>>>;
    void set_texts(Texts texts);
    void add_changes(std::vector<Pending>& out) const override;
    // Called when the chosen planet changes, after the table shows it.
    virtual void planet_shown(int) {}
    QLayout* body() const { return m_body; }
    static const std::array<const char*, kPlanetRows> kPlanetKeys;

private:
    void show_planet(int planet);
    void keep_table();
    void cell_chosen(int row, int column);
    QString cell_text(int row, int column) const;

    QString m_key;
    std::vector<Column> m_columns;
    QStringList m_row_keys;
    Texts m_initial;
    mutable Texts m_texts;
    int m_shown_planet = -1;
    QComboBox* m_planets;
    QTableWidget* m_table;
    QLayout* m_body;
};

class PlanetColoursDialog : public PlanetTableDialog {
    Q_OBJECT
public:
    PlanetColoursDialog(TellurimApp& app, QWidget* parent = nullptr);
    ColourField* planet_colour() const { return m_colour; }

protected:
    void planet_shown(int planet) override;
    void add_changes(std::vector<Pending>& out) const override;

private:
    ColourField* m_colour;
    std::array<QString, kPlanetRows> m_colours_shown;
    mutable std::array<QString, kPlanetRows> m_colours;
    int m_colour_planet = -1;  // the planet whose colour the field shows
};

class HouseHalosDialog : public PlanetTableDialog {
    Q_OBJECT
public:
    HouseHalosDialog(TellurimApp& app, QWidget* parent = nullptr);
};

}  // namespace tellurim
