// "My city": the user's default place and its correction to universal time.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <fmt/format.h>

#include "base/text.h"
#include "files/cities.h"
#include "files/geocoding.h"
#include "files/my_city.h"
#include "files/name_compare.h"
#include "gui/configuration_dialogs.h"
#include "gui/configuration_widgets.h"
#include "gui/gui_messages.h"

namespace tellurim {
namespace {

QString feedback_text(const std::string& s) { return qs(s).remove('\r'); }

}  // namespace

MyCityDialog::MyCityDialog(TellurimApp& app, QWidget* parent)
    : KeyedDialog(app, qs(text(Str::ConfigMyCityTitle)), parent) {
    // A place found in the atlas is set as `options set my-city.find` sets it, before the
    // fields typed afterwards.
    bind("my-city.find", nullptr, [this](const OptionContext&) -> std::optional<std::vector<std::string>> {
        if (m_found.empty()) return std::nullopt;
        return m_found;
    });
    m_city = bind_line("my-city.city", "city");
    m_county = bind_line("my-city.county", "county");
    m_state = bind_line("my-city.state", "state");
    m_country = bind_line("my-city.country", "country");
    m_longitude = bind_line("my-city.longitude", "longitude");
    m_latitude = bind_line("my-city.latitude", "latitude");
    m_correction = bind_line("my-city.correction", "correction");
    m_bindings.front().focus = m_city;
    // The correction shown is the system's at this moment.
    m_correction->setText(qs(fmt::format("{:.2f}", system_time_zone_now().correction_hours())));
    const OptionKey* tz = find_option_key("my-city.time-zone");
    bind("my-city.time-zone", m_city, [this, tz](const OptionContext& c) -> std::optional<std::vector<std::string>> {
        if (m_time_zone.empty() || m_time_zone == tz->get(c)) return std::nullopt;
        return std::vector{m_time_zone};
    });
    m_feedback = new QPlainTextEdit(this);
    m_feedback->setReadOnly(true);
    m_feedback->setObjectName("feedback");
    m_feedback->setFixedHeight(100);
    m_feedback->setTabChangesFocus(true);

    auto* find = side_button(qs(text(Str::ConfigMyCityFind)), this, "find_city");
    auto* maps = side_button(qs(text(Str::ConfigMyCityGoogleMaps)), this, "google_maps");
    connect(find, &QPushButton::clicked, this, &MyCityDialog::find_city);
    connect(maps, &QPushButton::clicked, this, &MyCityDialog::geocode);

    auto* form = new QFormLayout;
    const std::pair<Str, QLineEdit*> rows[] = {
        {Str::NewChartCity, m_city},           {Str::NewChartCounty, m_county},
        {Str::NewChartState, m_state},         {Str::NewChartCountry, m_country},
        {Str::NewChartLongitude, m_longitude}, {Str::NewChartLatitude, m_latitude},
    };
    for (const auto& [label, field] : rows) {
        auto* l = new QLabel(qs(text(label)), this);
        l->setBuddy(field);
        form->addRow(l, field);
        if (field == m_country) {
            auto* w = new QWidget(this);
            auto* h = new QHBoxLayout(w);
            h->setContentsMargins(0, 0, 0, 0);
            h->addWidget(find);
            h->addWidget(maps);
            h->addStretch();
            form->addRow(QString(), w);
        }
    }
    m_correction->setMaximumWidth(100);
    form->addRow(qs(text(Str::ConfigMyCityCorrection)), m_correction);
    form->addRow(qs(text(Str::PlaceSearchFeedback)), m_feedback);
    m_city->setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons());
    m_city->setFocus();
}

QString MyCityDialog::feedback() const { return m_feedback->toPlainText(); }

void MyCityDialog::show_place(const Options& o) {
    Options copy = o;
    RecordingMessages quiet;
    OptionContext c = context(copy, quiet);
    const std::pair<const char*, QLineEdit*> fields[] = {
        {"my-city.city", m_city},           {"my-city.county", m_county},       {"my-city.state", m_state},
        {"my-city.country", m_country},     {"my-city.longitude", m_longitude}, {"my-city.latitude", m_latitude},
    };
    for (const auto& [key, field] : fields) field->setText(qs(find_option_key(key)->get(c)));
}

void MyCityDialog::find_city() {
    const auto t = [](const QLineEdit* e) { return e->text().toStdString(); };
    const std::vector<std::string> args = {t(m_city), t(m_country), t(m_state), t(m_county)};
    // The search of `options set my-city.find`, for its feedback, then the setting itself on
    // a copy of the record, whose place the fields show.
    Options o = m_app.options();
    CityQuery q;
    q.city = args[0];
    q.country = args[1];
    q.state = args[2];
    q.county = args[3];
    (void)tellurim::find_city(q, AtlasSettings{o.paths.countries_dir, o.paths.default_country}, false,
                              NameCollator::for_user());
    m_feedback->setPlainText(feedback_text(trim(q.feedback).empty() ? str(Str::NotAValidCityName) : q.feedback));
    RecordingMessages quiet;
    OptionContext c = context(o, quiet);
    if (find_option_key("my-city.find")->set(c, args)) return;
    show_place(o);
    m_found = args;
    m_time_zone.clear();
}

void MyCityDialog::geocode() {
    const auto t = [](const QLineEdit* e) { return e->text().toStdString(); };
    GeocodeQuery q{t(m_city), t(m_county), t(m_state), t(m_country), std::nullopt};
    if (geocode_address(q.city, q.county, q.state, q.country).empty()) {
        m_app.messages().tell(str(Str::GeoNeedAddress), str(Str::FilesCaptionError), MessageIcon::Error);
        return;
    }
    const std::string& dir = m_app.private_dir();
    auto keys = read_google_keys_or_tell(dir, m_app.messages(), MessageIcon::Error);
    if (!keys) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const GeocodeResult g = geocode_lookup(q, read_geocoding_settings(dir), *keys);
    QApplication::restoreOverrideCursor();
    m_feedback->setPlainText(feedback_text(g.feedback));
    // The service's names replace the typed ones; when it found none the fields are emptied.
    m_city->setText(qs(g.names.city));
    m_county->setText(qs(g.names.county));
    m_state->setText(qs(g.names.state));
    m_country->setText(qs(g.names.country));
    m_found.clear();
    if (!g.location_found) return;
    m_longitude->setText(qs(g.longitude_text));
    m_latitude->setText(qs(g.latitude_text));
    m_time_zone = "-1";  // not a place of the atlas
}

}  // namespace tellurim
