#include "gui/moving_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "astro/movings.h"
#include "base/strings.h"
#include "gui/gui_messages.h"

namespace tellurim {
namespace {

// Civil minutes in one sidereal minute: a sidereal day is 23 h 56 min 4.09 s.
constexpr double kSiderealRatio = 0.9972695663;

QString tr_(Str s) { return qs(text(s)); }

}  // namespace

MovingDialog::MovingDialog(TellurimApp& app, OpenChart& chart, std::function<void()> moved, QWidget* parent)
    : QDialog(parent), m_app(app), m_chart(chart), m_moved(std::move(moved)) {
    setWindowTitle(tr_(Str::MovingsCaption));
    m_outside = new QRadioButton(tr_(Str::GuiMovingOutside), this);
    m_inside = new QRadioButton(tr_(Str::GuiMovingInside), this);
    m_outside->setEnabled(chart.outside != nullptr);
    (chart.outside ? m_outside : m_inside)->setChecked(true);
    m_sidereal = new QCheckBox(tr_(Str::GuiMovingSidereal), this);
    m_moment = new QLabel(this);
    m_moment->setObjectName("moment");

    auto* target = new QHBoxLayout;
    target->addWidget(m_outside);
    target->addWidget(m_inside);
    target->addWidget(m_sidereal);
    target->addStretch();

    // The fixed steps, backwards on the left and forwards on the right.
    auto* grid = new QGridLayout;
    for (std::size_t i = 0; i < kMovingButtons.size(); ++i) {
        const MovingButton& b = kMovingButtons[i];
        auto* button = new QPushButton(tr_(b.caption), this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, m = b.minutes] { step(m); });
        grid->addWidget(button, static_cast<int>(i / 2), static_cast<int>(i % 2));
    }
    auto* init = new QPushButton(tr_(Str::GuiMovingInit), this);
    init->setAutoDefault(false);
    connect(init, &QPushButton::clicked, this, &MovingDialog::restore_initial);
    grid->addWidget(init, static_cast<int>(kMovingButtons.size() / 2), 0, 1, 2);

    m_number = new QLineEdit(this);
    m_number->setObjectName("custom_number");
    m_unit = new QComboBox(this);
    m_unit->setObjectName("custom_unit");
    m_unit->addItems({"S", "MN", "H", "D", "M", "Y"});
    m_unit->setCurrentIndex(1);
    auto* move = new QPushButton(tr_(Str::GuiMovingMove), this);
    move->setAutoDefault(false);
    connect(move, &QPushButton::clicked, this, &MovingDialog::move_custom);
    auto* custom = new QHBoxLayout;
    custom->addWidget(new QLabel(tr_(Str::GuiMovingCustom), this));
    custom->addWidget(m_number);
    custom->addWidget(m_unit);
    custom->addWidget(move);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(target);
    layout->addWidget(m_moment);
    layout->addLayout(grid);
    layout->addLayout(custom);
    after_move();
}

bool MovingDialog::outside() const { return m_outside->isChecked() && m_chart.outside; }

void MovingDialog::step(double minutes) {
    if (m_sidereal->isChecked()) minutes *= kSiderealRatio;
    m_app.move(m_chart, outside(), minutes);
    after_move();
}

void MovingDialog::move_custom() {
    const auto minutes = custom_step_minutes(m_number->text().toStdString(), m_unit->currentText().toStdString());
    if (!minutes) {
        m_app.messages().tell(str(Str::MovingBadValue), str(Str::CaptionBadInput), MessageIcon::Warning);
        m_number->setFocus();
        return;
    }
    step(*minutes);
}

void MovingDialog::restore_initial() {
    m_app.move_to_initial(m_chart, outside());
    after_move();
}

void MovingDialog::after_move() {
    const Horoscope& h = outside() ? *m_chart.outside : *m_chart.horoscope;
    m_moment->setText(qs(h.last_name + "  " + format_date_hour(h.birth_ut) + " UT"));
    if (m_moved) m_moved();
}

}  // namespace tellurim
