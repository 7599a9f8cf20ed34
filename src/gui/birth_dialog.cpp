#include "gui/birth_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/form_geocode.h"
#include "base/strings.h"
#include "gui/gui_messages.h"

namespace tellurim {
namespace {

QString tr_(Str s) { return qs(text(s)); }

QLineEdit* line(QWidget* parent, int width = 0, const QString& name = {}) {
    auto* e = new QLineEdit(parent);
    if (width > 0) e->setMaximumWidth(width);
    e->setObjectName(name);
    return e;
}

QWidget* row(QWidget* parent, std::initializer_list<QWidget*> widgets) {
    auto* w = new QWidget(parent);
    auto* l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    for (QWidget* x : widgets) l->addWidget(x);
    l->addStretch();
    return w;
}

std::string text_of(const QLineEdit* e) { return e->text().toStdString(); }

}  // namespace

BirthDialog::BirthDialog(const Options& options, MessageSink& messages, QWidget* parent)
    : QDialog(parent), m_options(options), m_messages(messages) {
    setWindowTitle(tr_(Str::NewChartCaption));
    m_name = line(this, 0, "name");
    m_first_name = line(this, 0, "first_name");
    m_neuter = new QRadioButton(tr_(Str::NewChartNeuter), this);
    m_man = new QRadioButton(tr_(Str::NewChartMan), this);
    m_woman = new QRadioButton(tr_(Str::NewChartWoman), this);
    m_neuter->setChecked(true);
    m_day = line(this, 40, "day");
    m_month = line(this, 40, "month");
    m_year = line(this, 60, "year");
    m_bce = new QCheckBox(tr_(Str::NewChartBce), this);
    m_julian = new QCheckBox(tr_(Str::NewChartJulian), this);
    m_hour = line(this, 40, "hour");
    m_minute = line(this, 40, "minute");
    m_second = line(this, 60, "second");
    m_city = line(this, 0, "city");
    m_county = line(this, 0, "county");
    m_state = line(this, 0, "state");
    m_country = line(this, 0, "country");
    m_longitude = line(this, 0, "longitude");
    m_latitude = line(this, 0, "latitude");
    m_correction = line(this, 80, "correction");
    m_feedback = new QPlainTextEdit(this);
    m_feedback->setReadOnly(true);
    m_feedback->setObjectName("feedback");
    m_feedback->setMaximumHeight(90);

    auto* person = new QGroupBox(this);
    auto* pf = new QFormLayout(person);
    pf->addRow(tr_(Str::NewChartName), m_name);
    pf->addRow(tr_(Str::NewChartFirstName), m_first_name);
    pf->addRow(tr_(Str::NewChartSex), row(person, {m_neuter, m_man, m_woman}));
    pf->addRow(tr_(Str::NewChartDate), row(person, {m_day, m_month, m_year, m_bce, m_julian}));
    pf->addRow(tr_(Str::NewChartHour), row(person, {m_hour, m_minute, m_second}));

    auto* place = new QGroupBox(this);
    auto* lf = new QFormLayout(place);
    auto* find = new QPushButton(tr_(Str::NewChartFindCity), place);
    find->setObjectName("find_city");
    m_maps = new QPushButton(tr_(Str::NewChartGoogleMaps), place);
    m_maps->setObjectName("google_maps");
    m_maps->setEnabled(false);
    lf->addRow(tr_(Str::NewChartCity), m_city);
    lf->addRow(tr_(Str::NewChartCounty), m_county);
    lf->addRow(tr_(Str::NewChartState), m_state);
    lf->addRow(tr_(Str::NewChartCountry), m_country);
    lf->addRow(QString(), row(place, {find, m_maps}));
    lf->addRow(tr_(Str::NewChartLongitude), m_longitude);
    lf->addRow(tr_(Str::NewChartLatitude), m_latitude);
    lf->addRow(tr_(Str::NewChartCorrection), m_correction);
    lf->addRow(tr_(Str::PlaceSearchFeedback), m_feedback);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &BirthDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &BirthDialog::reject);
    connect(find, &QPushButton::clicked, this, &BirthDialog::find_city);
    connect(m_maps, &QPushButton::clicked, this, &BirthDialog::google_maps);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(person);
    layout->addWidget(place);
    layout->addWidget(buttons);
    m_name->setFocus();
}

BirthForm BirthDialog::form() const {
    BirthForm f;
    f.name = text_of(m_name);
    f.first_name = text_of(m_first_name);
    f.sex = m_man->isChecked() ? kMan : m_woman->isChecked() ? kWoman : kNeuter;
    f.moment = {text_of(m_day), text_of(m_month), text_of(m_year), text_of(m_hour), text_of(m_minute), text_of(m_second)};
    f.bce = m_bce->isChecked();
    f.julian = m_julian->isChecked();
    f.city = text_of(m_city);
    f.county = text_of(m_county);
    f.state = text_of(m_state);
    f.country = text_of(m_country);
    f.longitude = text_of(m_longitude);
    f.latitude = text_of(m_latitude);
    f.correction = text_of(m_correction);
    return f;
}

void BirthDialog::set_form(const BirthForm& f) {
    m_name->setText(qs(f.name));
    m_first_name->setText(qs(f.first_name));
    (f.sex == kMan ? m_man : f.sex == kWoman ? m_woman : m_neuter)->setChecked(true);
    m_day->setText(qs(f.moment.day));
    m_month->setText(qs(f.moment.month));
    m_year->setText(qs(f.moment.year));
    m_hour->setText(qs(f.moment.hour));
    m_minute->setText(qs(f.moment.minute));
    m_second->setText(qs(f.moment.second));
    m_bce->setChecked(f.bce);
    m_julian->setChecked(f.julian);
    m_city->setText(qs(f.city));
    m_county->setText(qs(f.county));
    m_state->setText(qs(f.state));
    m_country->setText(qs(f.country));
    m_longitude->setText(qs(f.longitude));
    m_latitude->setText(qs(f.latitude));
    m_correction->setText(qs(f.correction));
}

QString BirthDialog::feedback() const { return m_feedback->toPlainText(); }

QLineEdit* BirthDialog::field(BirthField f) const {
    switch (f) {
        case BirthField::Day: return m_day;
        case BirthField::Month: return m_month;
        case BirthField::Year: return m_year;
        case BirthField::Hour: return m_hour;
        case BirthField::Minute: return m_minute;
        case BirthField::Second: return m_second;
        case BirthField::None: break;
    }
    return nullptr;
}

QLineEdit* BirthDialog::field(BirthFormField f) const {
    switch (f) {
        case BirthFormField::Date: return m_day;
        case BirthFormField::Name: return m_name;
        case BirthFormField::City: return m_city;
        case BirthFormField::Longitude: return m_longitude;
        case BirthFormField::Latitude: return m_latitude;
        case BirthFormField::Correction: return m_correction;
        case BirthFormField::None: break;
    }
    return nullptr;
}

void BirthDialog::accept() {
    BirthFormResult r = birth_from_form(form(), m_options);
    if (!r.feedback.empty()) m_feedback->setPlainText(qs(r.feedback));
    if (r.message) {
        m_messages.show(*r.message);
        QLineEdit* e = r.moment_field != BirthField::None ? field(r.moment_field) : field(r.field);
        if (e) e->setFocus();
        return;
    }
    m_birth = std::move(r.data);
    QDialog::accept();
}

void BirthDialog::find_city() {
    BirthForm f = form();
    const PlaceLookup r = look_up_form_place(f, m_options);
    m_feedback->setPlainText(qs(r.feedback));
    if (r.found) set_form(f);
}

}  // namespace tellurim

namespace tellurim {

void BirthDialog::set_private_dir(const std::string& dir) {
    m_private_dir = dir;
    m_maps->setEnabled(!dir.empty());
}

void BirthDialog::google_maps() {
    BirthForm f = form();
    // The requests are made while the user waits, with the wait cursor.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PlaceLookup r = geocode_form_place(f, m_private_dir, m_messages);
    QApplication::restoreOverrideCursor();
    if (!r.feedback.empty()) m_feedback->setPlainText(qs(r.feedback).remove('\r'));
    set_form(f);
}

}  // namespace tellurim
