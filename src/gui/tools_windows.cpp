#include "gui/tools_windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextBrowser>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/solar_return_run.h"
#include "astro/directions.h"
#include "astro/planets_signs.h"
#include "base/strings.h"
#include "base/text.h"
#include "gui/dasa_bars.h"
#include "gui/gui_messages.h"
#include "gui/main_window.h"
#include "report/directions_report.h"
#include "report/doc_writer.h"
#include "report/text_measure.h"

namespace tellurim {
namespace {

QString tr_(Str s) { return qs(text(s)); }

QLineEdit* line(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}

// The Gregorian calendar from its first full year on, the Julian one before.
double year_start_jd(int year) { return julian_day(year, 1, 1, 0.0, year < 1583); }

// One colour per dasa lord, light enough for black names.
QColor lord_colour(int planet) {
    switch (planet) {
        case kSun: return QColor(0xF6, 0xB2, 0x6B);
        case kMoon: return QColor(0xC9, 0xD6, 0xEA);
        case kMercury: return QColor(0x9F, 0xD8, 0x9F);
        case kVenus: return QColor(0xF4, 0xB6, 0xD2);
        case kMars: return QColor(0xEE, 0x83, 0x7A);
        case kJupiter: return QColor(0xF7, 0xE0, 0x6E);
        case kSaturn: return QColor(0x9A, 0xA8, 0xC9);
        case kRahu: return QColor(0xB9, 0xA3, 0xD6);
        case kKethu: return QColor(0xC8, 0xA8, 0x82);
        default: return QColor(Qt::lightGray);
    }
}

}  // namespace

// --- the horoscope choice ---------------------------------------------------------------------

HoroscopeChoice::HoroscopeChoice(TellurimApp& app, const OpenChart* current, QWidget* parent)
    : QWidget(parent), m_app(app), m_list(new QComboBox(this)), m_about(new QLabel(this)) {
    m_list->setObjectName("horoscope");
    int selected = 0;
    for (std::size_t i = 0; i < app.horoscopes().size(); ++i) {
        m_list->addItem(qs(app.horoscopes()[i]->title()));
        if (app.horoscopes()[i].get() == current) selected = static_cast<int>(i);
    }
    m_list->setCurrentIndex(selected);
    auto* layout = new QFormLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addRow(tr_(Str::ToolsHoroscope), m_list);
    layout->addRow(QString(), m_about);
    connect(m_list, &QComboBox::currentIndexChanged, this, [this] { show_chosen(); });
    show_chosen();
}

OpenChart* HoroscopeChoice::chosen() const {
    const int i = m_list->currentIndex();
    const auto& list = m_app.horoscopes();
    return i < 0 || static_cast<std::size_t>(i) >= list.size() ? nullptr : list[static_cast<std::size_t>(i)].get();
}

void HoroscopeChoice::show_chosen() {
    const OpenChart* c = chosen();
    if (!c) return m_about->clear();
    const Horoscope& h = *c->horoscope;
    m_about->setText(qs(h.last_name + " " + h.first_name + "\n" + format_date_hour(h.birth_ut) + " UT  " +
                        h.place.city));
}

// --- sidereal solar return ---------------------------------------------------------------------

SolarReturnDialog::SolarReturnDialog(TellurimApp& app, const OpenChart* current, QWidget* parent)
    : QDialog(parent), m_app(app), m_choice(new HoroscopeChoice(app, current, this)) {
    setWindowTitle(tr_(Str::SolarReturnCaption));
    m_age = line(this, "age");
    m_title = line(this, "title");
    m_movable = new QCheckBox(tr_(Str::ToolsReturnMovable), this);
    m_movable->setObjectName("movable");
    m_city = line(this, "city");
    m_county = line(this, "county");
    m_state = line(this, "state");
    m_country = line(this, "country");
    m_longitude = line(this, "longitude");
    m_latitude = line(this, "latitude");
    m_feedback = new QPlainTextEdit(this);
    m_feedback->setReadOnly(true);
    m_feedback->setMaximumHeight(70);

    auto* form = new QFormLayout;
    form->addRow(tr_(Str::ToolsReturnAge), m_age);
    form->addRow(QString(), m_movable);
    form->addRow(tr_(Str::ToolsReturnTitle), m_title);
    auto* place = new QGroupBox(tr_(Str::ToolsReturnPlace), this);
    auto* pf = new QFormLayout(place);
    pf->addRow(tr_(Str::NewChartCity), m_city);
    pf->addRow(tr_(Str::NewChartCounty), m_county);
    pf->addRow(tr_(Str::NewChartState), m_state);
    pf->addRow(tr_(Str::NewChartCountry), m_country);
    pf->addRow(tr_(Str::NewChartLongitude), m_longitude);
    pf->addRow(tr_(Str::NewChartLatitude), m_latitude);
    pf->addRow(tr_(Str::PlaceSearchFeedback), m_feedback);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &SolarReturnDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SolarReturnDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_choice);
    layout->addLayout(form);
    layout->addWidget(place);
    layout->addWidget(buttons);
    m_age->setFocus();
}

QString SolarReturnDialog::feedback() const { return m_feedback->toPlainText(); }

void SolarReturnDialog::accept() {
    OpenChart* birth = m_choice->chosen();
    if (!birth) return;
    const std::string caption = str(Str::SolarReturnCaption);
    const std::optional<double> age = parse_return_age(m_age->text().toStdString());
    if (!age) {
        m_app.messages().tell(str(Str::SolarReturnBadAge), caption, MessageIcon::Warning);
        m_age->setFocus();
        return;
    }
    const ReturnPlaceFields fields{m_longitude->text().toStdString(), m_latitude->text().toStdString(),
                                   m_city->text().toStdString(),      m_county->text().toStdString(),
                                   m_state->text().toStdString(),     m_country->text().toStdString()};
    const ReturnPlaceResult place = return_place_from_fields(fields, m_app.options(), *birth->horoscope);
    m_feedback->setPlainText(qs(place.feedback));
    if (!place.place) {
        m_app.messages().tell(place.error, caption, MessageIcon::Warning);
        (place.error == str(Str::NotAValidLatitude) ? m_latitude
         : place.error == str(Str::NotAValidLongitude) ? m_longitude
                                                        : m_city)
            ->setFocus();
        return;
    }
    auto h = m_app.blank_horoscope();
    if (!compute_solar_return(*birth->horoscope, *age, m_movable->isChecked(), m_title->text().toStdString(),
                              *place.place, m_app.options(), m_app.messages(), m_app.workers(), m_app.ephemeris(), *h))
        return;  // the dialog stays open with the message
    m_result = m_app.adopt(std::move(h));
    QDialog::accept();
}

// --- primary directions ---------------------------------------------------------------------------

DirectionsDialog::DirectionsDialog(TellurimApp& app, const OpenChart* current, QWidget* parent)
    : QDialog(parent), m_app(app), m_choice(new HoroscopeChoice(app, current, this)) {
    setWindowTitle(tr_(Str::ToolsDirectionsCaption));
    m_planets = new QListWidget(this);
    m_planets->setObjectName("planets");
    m_planets->setSelectionMode(QAbstractItemView::MultiSelection);
    m_planets->setMinimumHeight(330);
    for (int p = 0; p < kPlanetRows; ++p) {
        auto* item = new QListWidgetItem(qs(planet_name(p)), m_planets);
        item->setData(Qt::UserRole, p);
        item->setSelected(std::find(std::begin(kDefaultDirectionPlanets), std::end(kDefaultDirectionPlanets), p) !=
                          std::end(kDefaultDirectionPlanets));
    }
    m_aspects = new QListWidget(this);
    m_aspects->setObjectName("aspects");
    m_aspects->setSelectionMode(QAbstractItemView::MultiSelection);
    for (const AspectDef& row : app.settings().aspects.rows) new QListWidgetItem(qs(row.name), m_aspects);
    m_aspects->selectAll();
    m_filter = new QComboBox(this);
    m_filter->addItems({tr_(Str::ToolsFilterAll), tr_(Str::ToolsFilterAngles), tr_(Str::ToolsFilterPersonal)});
    m_from = line(this, "from");
    m_to = line(this, "to");
    m_from->setText("0");
    m_to->setText("90");
    m_sort = new QCheckBox(tr_(Str::ToolsSortByAge), this);
    m_sort->setChecked(true);
    m_latitude = new QCheckBox(tr_(Str::ToolsWithLatitude), this);
    m_ra_sun = new QCheckBox(tr_(Str::ToolsRaSunCorrection), this);

    auto* lists = new QHBoxLayout;
    for (auto [label, list] : {std::pair{Str::ToolsPlanets, m_planets}, std::pair{Str::ToolsAspects, m_aspects}}) {
        auto* column = new QVBoxLayout;
        column->addWidget(new QLabel(tr_(label), this));
        column->addWidget(list);
        lists->addLayout(column);
    }
    auto* form = new QFormLayout;
    form->addRow(tr_(Str::ToolsFilter), m_filter);
    form->addRow(tr_(Str::ToolsAgeBegin), m_from);
    form->addRow(tr_(Str::ToolsAgeEnd), m_to);
    form->addRow(QString(), m_sort);
    form->addRow(QString(), m_latitude);
    form->addRow(QString(), m_ra_sun);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &DirectionsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DirectionsDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_choice);
    layout->addLayout(lists);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void DirectionsDialog::accept() {
    const OpenChart* chart = m_choice->chosen();
    if (!chart) return;
    const Horoscope& h = *chart->horoscope;
    DirectionRequest q;
    for (const QListWidgetItem* item : m_planets->selectedItems()) q.planets.push_back(item->data(Qt::UserRole).toInt());
    std::sort(q.planets.begin(), q.planets.end());
    const auto& rows = m_app.settings().aspects.rows;
    for (int i = 0; i < m_aspects->count(); ++i)
        if (m_aspects->item(i)->isSelected() && static_cast<std::size_t>(i) < rows.size())
            q.aspects.push_back(rows[static_cast<std::size_t>(i)]);
    q.filter = *direction_filter_from_name(m_filter->currentText().toStdString());
    q.with_latitude = m_latitude->isChecked();
    q.sort_by_age = m_sort->isChecked();
    q.ra_sun_correction = m_ra_sun->isChecked();
    // The ages as the command line reads them; a bad one is refused as a bad window.
    const auto from = parse_decimal(trim(m_from->text().toStdString()));
    const auto to = parse_decimal(trim(m_to->text().toStdString()));
    q.from_age = from.value_or(0.0);
    q.to_age = to ? *to : q.from_age;
    const DirectionList list = compute_directions(h, q);
    if (!list.ok || !from || !to) {
        const Str error = list.ok ? Str::DirectionBadInput : list.error;
        m_app.messages().tell(str(error), error == Str::DirectionBadInput ? str(Str::AppErrorCaption)
                                                                          : str(Str::ToolsDirectionsCaption),
                              MessageIcon::Warning);
        return;
    }
    const FixedMeasure96 device;
    m_title = qs(direction_title(h, q));
    m_document = qs(directions_document(h, q, list, kDocHtml, doc_style_from_options(h.options), device));
    QDialog::accept();
}

// --- dasa window ----------------------------------------------------------------------------------

DasaWindow::DasaWindow(TellurimApp& app, const Horoscope& h, QWidget* parent)
    : QWidget(parent), m_app(app), m_table(h.options.dasas), m_cycle_start(h.hindu.dasa_cycle_start_jd_et) {
    m_name = h.first_name.empty() ? h.last_name : h.last_name + " " + h.first_name;
    setWindowTitle(tr_(Str::ToolsDasaCaption) + " - " + qs(m_name));
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(360, 220);
    auto* bar = new QMenuBar(this);
    QMenu* menu = bar->addMenu(tr_(Str::ToolsDasaMenu));
    connect(menu->addAction(tr_(Str::ToolsDasaGoto)), &QAction::triggered, this, &DasaWindow::goto_year);
    connect(menu->addAction(tr_(Str::ToolsDasaZoomYear)), &QAction::triggered, this, &DasaWindow::zoom_year);
    connect(menu->addAction(tr_(Str::ToolsDasaZoomCentury)), &QAction::triggered, this, &DasaWindow::zoom_century);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(bar);
    layout->addStretch();
    // A century from the year of birth.
    show_span(h.birth_ut.year, 100);
}

void DasaWindow::show_span(int first_year, int years) {
    m_first_year = first_year;
    m_years = years < 1 ? 1 : years;
    m_from_jd = year_start_jd(first_year);
    m_to_jd = year_start_jd(first_year + m_years);
    m_periods.clear();
    if (std::isfinite(m_cycle_start)) m_periods = dasa_periods_between(m_table, m_cycle_start, m_from_jd, m_to_jd);
    update();
}

void DasaWindow::goto_year() {
    bool ok = false;
    const int year = QInputDialog::getInt(this, tr_(Str::ToolsDasaGoto).remove('&').remove(" ..."),
                                          tr_(Str::ToolsDasaYear), m_first_year, -3000, 3000, 1, &ok);
    if (ok) show_span(year, m_years);
}

QRectF DasaWindow::bars() const {
    const QMenuBar* bar = findChild<QMenuBar*>();
    const double top = (bar ? bar->sizeHint().height() : 0) + 30.0;
    const double left = 70.0;
    return QRectF(left, top, width() - left - 12.0, std::max(30.0, height() - top - 40.0));
}

double DasaWindow::x_of(double jd) const {
    const QRectF r = bars();
    const double t = (std::clamp(jd, m_from_jd, m_to_jd) - m_from_jd) / (m_to_jd - m_from_jd);
    return r.left() + t * r.width();
}

void DasaWindow::paintEvent(QPaintEvent*) {
    QPainter g(this);
    g.fillRect(rect(), Qt::white);
    const QRectF area = bars();
    g.setPen(Qt::black);
    QFont bold = font();
    bold.setBold(true);
    g.setFont(bold);
    const QString span = m_years == 1 ? QString::number(m_first_year)
                                      : QString("%1 - %2").arg(m_first_year).arg(m_first_year + m_years - 1);
    g.drawText(QRectF(8, area.top() - 26, width() - 16, 20), Qt::AlignLeft | Qt::AlignVCenter, qs(m_name) + "   " + span);
    g.setFont(font());
    const double row = area.height() / 3.0;
    const Str labels[] = {Str::ToolsDasaRow, Str::ToolsBhuktiRow, Str::ToolsAntaraRow};
    for (int r = 0; r < 3; ++r)
        g.drawText(QRectF(4, area.top() + r * row, area.left() - 8, row), Qt::AlignRight | Qt::AlignVCenter, tr_(labels[r]));
    // Each row merges the antaras of one dasa (of one bhukti) into one bar.
    const QFontMetricsF metrics(font());
    const DasaLevel levels[] = {DasaLevel::Dasa, DasaLevel::Bhukti, DasaLevel::Antara};
    for (int r = 0; r < 3; ++r) {
        for (const DasaBar& bar : dasa_bars(m_periods, levels[r])) {
            const QRectF box(QPointF(x_of(bar.start_jd_et), area.top() + r * row + 2),
                             QPointF(x_of(bar.end_jd_et), area.top() + (r + 1) * row - 2));
            // Bars narrower than their outline are filled only, so that a century of antaras
            // keeps its colours.
            g.setPen(box.width() < 4.0 ? QPen(Qt::NoPen) : QPen(Qt::black, 1));
            g.setBrush(lord_colour(bar.lord));
            g.drawRect(box);
            const QString name = qs(planet_name(bar.lord));
            const QString shown = metrics.horizontalAdvance(name) + 4 < box.width() ? name
                                  : metrics.horizontalAdvance(name.left(2)) + 2 < box.width() ? name.left(2)
                                                                                                : QString();
            if (!shown.isEmpty()) g.drawText(box, Qt::AlignCenter, shown);
        }
    }
    // The scale: months over a year, years (named every ten) over longer spans.
    g.setPen(Qt::black);
    const double base = area.bottom() + 2;
    if (m_years <= 2) {
        for (int y = 0; y < m_years; ++y)
            for (int m = 1; m <= 12; ++m) {
                const int year = m_first_year + y;
                const double x = x_of(julian_day(year, m, 1, 0.0, year < 1583));
                const double next = x_of(m == 12 ? year_start_jd(year + 1) : julian_day(year, m + 1, 1, 0.0, year < 1583));
                g.drawLine(QPointF(x, base), QPointF(x, base + 8));
                g.drawText(QRectF(x, base + 8, next - x, 18), Qt::AlignCenter,
                           qs(month_name(m, Language::English)).left(3));
            }
    } else {
        const int label_every = m_years >= 20 ? 10 : 1;
        for (int y = 0; y <= m_years; ++y) {
            const int year = m_first_year + y;
            const double x = x_of(year_start_jd(year));
            const bool named = year % label_every == 0;
            g.drawLine(QPointF(x, base), QPointF(x, base + (named ? 10 : 4)));
            if (named) g.drawText(QRectF(x - 30, base + 10, 60, 18), Qt::AlignCenter, QString::number(year));
        }
    }
}

QString DasaWindow::tooltip_at(QPoint pos) const {
    const QRectF area = bars();
    if (!area.contains(pos)) return {};
    for (const DasaPeriodAt& p : m_periods)
        if (pos.x() >= x_of(p.start_jd_et) && pos.x() <= x_of(p.end_jd_et))
            return qs(std::string(planet_name(p.dasa)) + " / " + std::string(planet_name(p.bhukti)) + " / " +
                      std::string(planet_name(p.antara)) + "\n" + format_date_hour(p.start) + "\n" +
                      format_date_hour(p.end));
    return {};
}

bool DasaWindow::event(QEvent* e) {
    if (e->type() != QEvent::ToolTip) return QWidget::event(e);
    auto* help = static_cast<QHelpEvent*>(e);
    const QString tip = tooltip_at(help->pos());
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), tip, this);
    return true;
}

}  // namespace tellurim

// --- the Tools commands ---------------------------------------------------------------------------

namespace tellurim {

void MainWindow::solar_return() {
    if (m_app.horoscopes().empty()) {
        m_app.messages().tell(str(Str::AppNoHoroscope), str(Str::SolarReturnCaption), MessageIcon::Information);
        return;
    }
    SolarReturnDialog dialog(m_app, current_chart(), this);
    if (dialog.exec() == QDialog::Accepted && dialog.result()) show_chart(*dialog.result());
}

void MainWindow::directions() {
    if (m_app.horoscopes().empty()) {
        m_app.messages().tell(str(Str::AppNoHoroscope), str(Str::ToolsDirectionsCaption), MessageIcon::Information);
        return;
    }
    DirectionsDialog dialog(m_app, current_chart(), this);
    if (dialog.exec() == QDialog::Accepted) show_document(dialog.title(), dialog.document());
}

void MainWindow::dasas() {
    const OpenChart* chart = current_chart();
    if (!chart) chart = choose_chart(Str::ToolsChooseHoroscope);
    if (chart) show_dasas(*chart);
}

DasaWindow* MainWindow::show_dasas(const OpenChart& chart) {
    auto* w = new DasaWindow(m_app, *chart.horoscope);
    QMdiSubWindow* sub = m_mdi->addSubWindow(w);
    sub->resize(820, 300);
    sub->show();
    m_mdi->setActiveSubWindow(sub);
    return w;
}

QTextBrowser* MainWindow::show_document(const QString& title, const QString& html) {
    auto* view = new QTextBrowser;
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->setWindowTitle(title);
    view->setHtml(html);
    QMdiSubWindow* sub = m_mdi->addSubWindow(view);
    sub->resize(640, 520);
    sub->show();
    m_mdi->setActiveSubWindow(sub);
    return view;
}

}  // namespace tellurim
