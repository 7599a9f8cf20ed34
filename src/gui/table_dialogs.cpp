#include "gui/table_dialogs.h"

#include <algorithm>

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "astro/planets_signs.h"
#include "base/strings.h"
#include "files/option_keys.h"
#include "gui/aspect_dialogs.h"
#include "gui/gui_messages.h"

namespace tellurim {
namespace {

QString tr_(Str s) { return qs(text(s)); }

QDialogButtonBox* ok_cancel(QDialog* d) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    QObject::connect(buttons, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return buttons;
}

// `name` with a mnemonic on its first letter that `used` does not hold yet (none when every
// letter is taken); the letter joins `used`.
QString with_mnemonic(const QString& name, QString& used) {
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i].toLower();
        if (!c.isLetter() || used.contains(c)) continue;
        used += c;
        return name.left(i) + QLatin1Char('&') + name.mid(i) + QLatin1Char(':');
    }
    return name + QLatin1Char(':');
}

}  // namespace

// --- "Exaltations" -----------------------------------------------------------------------------

ExaltationsDialog::ExaltationsDialog(TellurimApp& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setWindowTitle(tr_(Str::GuiExaltationsTitle));
    const ExaltationEdit shown = exaltation_dialog_fields(app.options().exaltations);
    // The letters of the radio buttons, the zero date and OK are not given to the planets.
    QString used = "bizo";
    auto* grid = new QGridLayout;
    int n = 0;
    for (int p = 0; p < kPlanetRows; ++p) {
        if (!((p >= kSun && p <= kSaturn) || (p >= kRahu && p <= kPluto))) continue;
        auto* e = new QLineEdit(qs(shown.fields[static_cast<std::size_t>(p)]), this);
        e->setObjectName(QString("planet%1").arg(p));
        e->setMinimumWidth(170);
        auto* label = new QLabel(with_mnemonic(qs(planet_name(p)), used), this);
        label->setBuddy(e);
        m_fields[static_cast<std::size_t>(p)] = e;
        // Sun to Saturn down the left, the nodes and the outer planets down the right.
        const int row = p <= kSaturn ? n : n - 7;
        const int column = p <= kSaturn ? 0 : 2;
        grid->addWidget(label, row, column);
        grid->addWidget(e, row, column + 1);
        ++n;
    }
    m_absolute = new QRadioButton(tr_(Str::GuiExaltationsAbsolute), this);
    m_fixed = new QRadioButton(tr_(Str::GuiExaltationsFixed), this);
    m_zero_date = new QLineEdit(qs(shown.zero_date_text), this);
    m_zero_date->setObjectName("zero_date");
    (shown.absolute_longitudes ? m_absolute : m_fixed)->setChecked(true);
    m_zero_date->setEnabled(m_fixed->isChecked());
    connect(m_fixed, &QRadioButton::toggled, m_zero_date, &QWidget::setEnabled);
    auto* zero_label = new QLabel(tr_(Str::GuiExaltationsZeroDate), this);
    zero_label->setBuddy(m_zero_date);

    auto* longitudes = new QHBoxLayout;
    longitudes->addWidget(m_absolute);
    longitudes->addWidget(m_fixed);
    longitudes->addStretch();
    auto* zero = new QHBoxLayout;
    zero->addWidget(zero_label);
    zero->addWidget(m_zero_date, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(longitudes);
    layout->addLayout(zero);
    layout->addWidget(ok_cancel(this));
}

void ExaltationsDialog::accept() {
    ExaltationEdit edit;
    for (std::size_t p = 0; p < m_fields.size(); ++p)
        if (m_fields[p]) edit.fields[p] = m_fields[p]->text().toStdString();
    edit.absolute_longitudes = m_absolute->isChecked();
    edit.zero_date_text = m_zero_date->text().toStdString();
    ExaltationEditResult result;
    if (!m_app.update_options([&](Options& o) {
            result = apply_exaltation_dialog(edit, o.exaltations);
            return result.ok;
        }))
        return;
    if (!result.ok) {
        QWidget* field = result.field < 0 ? m_zero_date : m_fields[static_cast<std::size_t>(result.field)];
        refuse_field(m_app.messages(), field, result.message, result.caption);
        return;
    }
    QDialog::accept();
}

// --- "Nakshatras" ------------------------------------------------------------------------------

NakshatrasDialog::NakshatrasDialog(TellurimApp& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setWindowTitle(tr_(Str::GuiNakshatrasTitle));
    const NakshatraTable& naks = app.options().nakshatras;
    m_table = new QTableWidget(kNakshatraCount, 4, this);
    m_table->setObjectName("nakshatras");
    m_table->setHorizontalHeaderLabels({tr_(Str::GuiNakshatrasLord), tr_(Str::GuiNakshatrasName),
                                        tr_(Str::GuiNakshatrasMeaning), tr_(Str::GuiNakshatrasColour)});
    m_table->setTabKeyNavigation(false);  // Tab leaves the table for the buttons
    for (int r = 0; r < kNakshatraCount; ++r) {
        const Nakshatra& n = naks[static_cast<std::size_t>(r)];
        auto* lord = new QTableWidgetItem(qs(planet_name(n.lord)));
        lord->setFlags(lord->flags() & ~Qt::ItemIsEditable);
        m_table->setItem(r, Lord, lord);
        m_shown.push_back({n.name, n.meaning, format_argb(n.colour)});
        for (int c = Name; c <= Colour; ++c)
            m_table->setItem(r, c, new QTableWidgetItem(qs(m_shown.back()[static_cast<std::size_t>(c - Name)])));
        m_table->item(r, Colour)->setBackground(QColor::fromRgba(n.colour | 0xFF000000u));
    }
    m_table->setVerticalHeaderLabels([] {
        QStringList l;
        for (int r = 0; r < kNakshatraCount; ++r) l << QString::number(r);
        return l;
    }());
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setMinimumSize(760, 420);
    m_table->setCurrentCell(0, Name);

    auto* choose = new QPushButton(tr_(Str::GuiNakshatrasChooseColour), this);
    choose->setAutoDefault(false);
    connect(choose, &QPushButton::clicked, this, &NakshatrasDialog::choose_colour);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(choose);
    buttons->addStretch();
    buttons->addWidget(ok_cancel(this));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addLayout(buttons);
}

void NakshatrasDialog::choose_colour() {
    const int r = std::max(0, m_table->currentRow());
    const auto current = parse_argb(m_table->item(r, Colour)->text().toStdString());
    const QColor c = QColorDialog::getColor(QColor::fromRgba(current.value_or(0x64000000u)), this,
                                            tr_(Str::GuiNakshatrasTitle), QColorDialog::ShowAlphaChannel);
    if (!c.isValid()) return;
    m_table->item(r, Colour)->setText(qs(format_argb(c.rgba())));
    m_table->item(r, Colour)->setBackground(QColor::fromRgb(c.rgb()));
}

void NakshatrasDialog::accept() {
    // Only the cells changed here are set, row by row, through the rows of `options set`.
    static constexpr std::array<const char*, 3> kKeys{"name", "meaning", "colour"};
    int bad_row = -1, bad_column = -1;
    std::string message;
    if (!m_app.update_options([&](Options& o) {
            for (int r = 0; r < kNakshatraCount; ++r)
                for (int c = Name; c <= Colour; ++c) {
                    const std::string value = m_table->item(r, c)->text().toStdString();
                    if (value == m_shown[static_cast<std::size_t>(r)][static_cast<std::size_t>(c - Name)]) continue;
                    const std::string key = "nakshatras." + std::to_string(r) + "." + kKeys[static_cast<std::size_t>(c - Name)];
                    if (auto failure = set_option_key(m_app, o, key, {value})) {
                        bad_row = r;
                        bad_column = c;
                        message = *failure;
                        return false;
                    }
                }
            return true;
        }))
        return;
    if (bad_row >= 0) {
        m_table->setCurrentCell(bad_row, bad_column);
        refuse_field(m_app.messages(), m_table, message, str(Str::FilesCaptionError));
        return;
    }
    QDialog::accept();
}

}  // namespace tellurim
