#pragma once
// The tables kept in the options: "Exaltations" (the exaltation longitude of each planet that
// has one, absolute or fixed longitudes and their zero date) and "Nakshatras" (name, meaning
// and colour of the 27 mansions). Both check with the rows of `tellurim options set` and write
// on OK through the locked read-modify-write of the options file; Cancel writes nothing.

#include <QDialog>
#include <array>
#include <string>
#include <vector>

// moc cannot read the string table's X-macro lists.
#ifndef Q_MOC_RUN
#include "gui/tellurim_app.h"
#endif

class QLineEdit;
class QRadioButton;
class QTableWidget;

namespace tellurim {

class ExaltationsDialog : public QDialog {
    Q_OBJECT
public:
    ExaltationsDialog(TellurimApp& app, QWidget* parent = nullptr);
    // The field of a planet (Sun to Saturn, Rahu to Pluto), else null.
    QLineEdit* field(int planet) const { return m_fields[static_cast<std::size_t>(planet)]; }
    QRadioButton* fixed() const { return m_fixed; }
    QLineEdit* zero_date() const { return m_zero_date; }
    void accept() override;

private:
    TellurimApp& m_app;
    std::array<QLineEdit*, kPlanetRows> m_fields{};
    QRadioButton* m_absolute;
    QRadioButton* m_fixed;
    QLineEdit* m_zero_date;
};

class NakshatrasDialog : public QDialog {
    Q_OBJECT
public:
    enum Column { Lord, Name, Meaning, Colour };
    NakshatrasDialog(TellurimApp& app, QWidget* parent = nullptr);
    QTableWidget* table() const { return m_table; }
    void accept() override;

private:
    void choose_colour();

    TellurimApp& m_app;
    QTableWidget* m_table;
    std::vector<std::array<std::string, 3>> m_shown;  // name, meaning and colour as first shown
};

}  // namespace tellurim
