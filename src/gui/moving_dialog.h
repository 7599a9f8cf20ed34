#pragma once
// "Movings": steps the moment of the outside (or inside) horoscope of a chart window forwards
// or backwards by the fixed buttons or a custom step, recomputing it and redrawing the
// windows of the chart after each step. With "Sidera&l" the steps are in sidereal time.

#include <QDialog>
#include <functional>

// moc cannot read the string table's X-macro lists.
#ifndef Q_MOC_RUN
#include "gui/tellurim_app.h"
#endif

class QComboBox;
class QLabel;
class QLineEdit;
class QCheckBox;
class QRadioButton;

namespace tellurim {

class MovingDialog : public QDialog {
    Q_OBJECT
public:
    MovingDialog(TellurimApp& app, OpenChart& chart, std::function<void()> moved, QWidget* parent = nullptr);
    // One step of `minutes` (civil, or sidereal with the box checked) of the chosen horoscope.
    void step(double minutes);
    // "Mo&ve": the custom number and unit.
    void move_custom();
    // "Ini&t": the moment first entered.
    void restore_initial();
    QLabel* moment_label() const { return m_moment; }

private:
    bool outside() const;
    void after_move();

    TellurimApp& m_app;
    OpenChart& m_chart;
    std::function<void()> m_moved;
    QRadioButton* m_outside;
    QRadioButton* m_inside;
    QCheckBox* m_sidereal;
    QLineEdit* m_number;
    QComboBox* m_unit;
    QLabel* m_moment;
};

}  // namespace tellurim
