#include "gui/tellurim_app.h"

#include <filesystem>

#include "app/cli_chart.h"
#include "app/cli_common.h"
#include "app/cli_stars.h"
#include "astro/compute.h"
#include "base/strings.h"
#include "core/paths.h"
#include "draw/wheel_chart.h"
#include "files/aspects_file.h"
#include "files/hindu_aspects_file.h"
#include "files/options_file.h"
#include "files/horoscope_file.h"
#include "files/options_file.h"
#include "files/host_identity.h"
#include "report/doc_writer.h"
#include "report/results_report.h"
#include "report/text_measure.h"
#include "script/script_horoscope_file.h"

namespace tellurim {

std::string OpenChart::title() const {
    if (!horoscope) return {};
    std::string t = horoscope->last_name;
    if (!horoscope->first_name.empty()) t += " " + horoscope->first_name;
    return t;
}

TellurimApp::TellurimApp(MessageSink& messages, Overrides overrides)
    : m_messages(messages), m_overrides(std::move(overrides)) {}

TellurimApp::~TellurimApp() {
    m_workers.reset();
    if (m_library) m_library->unload();
    m_library.reset();
    m_settings.reset();  // the options record, and with it the aspect table
    m_interp.reset();
    m_stars.reset();
    m_horoscopes.clear();
    m_script_menu.clear();
    m_hindu.reset();
}

bool TellurimApp::start() {
    // 1. The directories, the options file and the check of every path it names; the aspect
    // table of step 4 comes with them.
    CliContext ctx;
    ctx.private_dir = m_overrides.private_dir;
    ctx.horoscopes_dir = m_overrides.horoscopes_dir;
    ctx.messages = &m_messages;
    auto settings = load_cli_settings(ctx);
    if (!settings) return false;
    m_settings = std::make_unique<CliSettings>(std::move(*settings));
    const Options& o = m_settings->options;
    // 2 (the dialog control library) has no counterpart here.
    // 3. The ephemeris provider.
    m_library = std::make_unique<EphemerisLibrary>();
    if (EphemerisStatus s = m_library->load(o.ephemeris.type, o.ephemeris.jpl_file); !s)
        m_messages.tell(s.message, str(Str::AppErrorCaption), MessageIcon::Error);
    // 5. The interpretation files, each of which must exist.
    m_interp = std::make_unique<InterpList>(load_interp_list(private_dir(), base_directory(), m_messages));
    bool interp_ok = true;
    for (const InterpFile& f : m_interp->files) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(f.path, ec)) continue;
        m_messages.tell(f.path, str(Str::CheckConfigFile), MessageIcon::Warning);
        interp_ok = false;
    }
    if (!interp_ok)
        m_messages.tell(str(Str::InterpReadError), str(Str::AppCheckConfiguration), MessageIcon::Warning);
    // 6. The script menu.
    if (auto menu = load_script_menu(private_dir())) m_script_menu = std::move(*menu);
    // 7. The stars, when the options name a file.
    m_stars = std::make_unique<StarCatalogue>();
    if (!o.paths.stars_file.empty() && !load_cli_stars(o, *m_stars, m_messages)) m_stars.reset();
    // 8. The horoscope list is empty; printers are made when printing.
    // 9 (the help viewer library) and 11 (GDI+) have no counterpart here.
    // 10. The Hindu aspect drawing table.
    m_hindu = std::make_unique<HinduAspectTable>(load_hindu_aspects(private_dir(), m_messages).table);
    // 12. The worker table, empty.
    m_workers = std::make_unique<WorkerThreads>();
    return true;
}

bool TellurimApp::update_options(const std::function<bool(Options&)>& change) {
    if (tellurim::update_options(private_dir(), m_settings->options, change)) return true;
    m_messages.tell(options_file_path(private_dir()), str(Str::OptionsCannotSave), MessageIcon::Error);
    return false;
}

std::unique_ptr<Horoscope> TellurimApp::new_horoscope() const {
    auto h = std::make_unique<Horoscope>();
    h->aspect_table = &m_settings->aspects;
    return h;
}

OpenChart* TellurimApp::add(std::unique_ptr<Horoscope> h, bool unsaved) {
    auto c = std::make_unique<OpenChart>();
    c->horoscope = std::move(h);
    c->unsaved = unsaved;
    m_horoscopes.push_back(std::move(c));
    return m_horoscopes.back().get();
}

bool TellurimApp::compute_into(Horoscope& h, const BirthData& data) {
    const Options& o = options();
    HostIdentity host;
    if (o.database.prefix_with_ip) host = local_host_identity();
    ComputeReport report;
    const bool ok = set_and_compute(h, data, true, o, m_messages, *m_workers, *m_library,
                                    o.database.prefix_with_ip ? &host : nullptr, &report);
    if (polar_sun_only_failure(ok, h, report)) {
        m_messages.tell(str(Str::SunPolarWarning), str(Str::ComputeCaption), MessageIcon::Warning);
        return true;
    }
    return ok;
}

BirthData TellurimApp::now_birth() const {
    const MyCity& city = options().my_city;
    BirthData data;
    data.last_name = str(Str::ChartNowName);
    data.place = city.place;
    data.state = city.state;
    data.country = city.country;
    data.ut = now_ut();
    // Legal time = universal - correction.
    data.local = data.ut;
    set_julian_day_ut(data.local, data.ut.jd_ut - city.correction_hours / 24.0);
    return data;
}

OpenChart* TellurimApp::compute_now() { return compute_birth(now_birth()); }

OpenChart* TellurimApp::compute_birth(const BirthData& data) {
    auto h = new_horoscope();
    if (!compute_into(*h, data)) return nullptr;
    return add(std::move(h), true);
}

OpenChart* TellurimApp::open_file(const std::string& path) {
    auto h = new_horoscope();
    if (!read_horoscope_file(*h, path, options(), m_messages, *m_workers, *m_library)) return nullptr;
    OpenChart* c = add(std::move(h), false);
    c->path = path;
    return c;
}

bool TellurimApp::recompute(OpenChart& chart) {
    Horoscope& h = *chart.horoscope;
    BirthData data{h.last_name, h.first_name, h.sex, h.place, h.state, h.country, h.birth_ut, h.birth_local};
    if (!compute_into(h, data)) return false;
    chart.unsaved = true;
    if (chart.outside) {
        Horoscope& o = *chart.outside;
        BirthData od{o.last_name, o.first_name, o.sex, o.place, o.state, o.country, o.birth_ut, o.birth_local};
        (void)compute_into(o, od);
    }
    return true;
}

bool TellurimApp::save(OpenChart& chart, const std::string& path) {
    if (save_horoscope(*chart.horoscope, path, m_messages) != SaveStatus::Saved) return false;
    chart.path = path;
    chart.unsaved = false;
    return true;
}

std::string TellurimApp::default_file_name(const OpenChart& chart) const {
    return default_horoscope_file_name(*chart.horoscope, horoscopes_dir());
}

bool TellurimApp::superpose(OpenChart& chart, const BirthData& data) {
    auto h = new_horoscope();
    if (!compute_into(*h, data)) return false;
    chart.outside = std::move(h);
    chart.outside_hidden = false;
    return true;
}

bool TellurimApp::superpose_now(OpenChart& chart) { return superpose(chart, now_birth()); }

bool TellurimApp::superpose_file(OpenChart& chart, const std::string& path) {
    auto h = new_horoscope();
    if (!read_horoscope_file(*h, path, options(), m_messages, *m_workers, *m_library)) return false;
    chart.outside = std::move(h);
    chart.outside_hidden = false;
    return true;
}

void TellurimApp::permute(OpenChart& chart) {
    if (chart.outside) std::swap(chart.horoscope, chart.outside);
    chart.unsaved = true;
}

bool TellurimApp::move(OpenChart& chart, bool outside, double minutes) {
    Horoscope* h = outside && chart.outside ? chart.outside.get() : chart.horoscope.get();
    const bool ok = shift_time(*h, minutes, m_messages, *m_workers, *m_library);
    if (h == chart.horoscope.get()) chart.unsaved = true;
    return ok;
}

bool TellurimApp::move_to_initial(OpenChart& chart, bool outside) {
    Horoscope* h = outside && chart.outside ? chart.outside.get() : chart.horoscope.get();
    return move(chart, outside, (h->initial_ut.jd_ut - h->birth_ut.jd_ut) * 1440.0);
}

bool TellurimApp::any_unsaved() const {
    for (const auto& c : m_horoscopes)
        if (c->unsaved) return true;
    return false;
}

WheelInput TellurimApp::wheel_input(const OpenChart& chart) const {
    const Horoscope* outside = chart.outside && !chart.outside_hidden ? chart.outside.get() : nullptr;
    const HinduAspectTable* hindu = chart.horoscope->options.astro.zodiac_movable == 0 ? m_hindu.get() : nullptr;
    return tellurim::wheel_input(*chart.horoscope, outside, &m_settings->aspects, hindu);
}

WheelStyle TellurimApp::wheel_style(const OpenChart& chart) const {
    return tellurim::wheel_style(options(), chart.outside && !chart.outside_hidden);
}

OptionEditsResult TellurimApp::edit_options(const std::vector<OptionEdit>& edits) {
    return apply_option_edits(private_dir(), horoscopes_dir(), m_settings->options, m_messages, edits);
}

bool TellurimApp::run_script(const std::string& file, ScriptKind kind, const Horoscope* h, ScriptDialogs dialogs,
                             std::function<bool(const std::string&)> show_text) {
    ScriptRunRequest request;
    request.script_name = file;
    request.options = options();
    request.messages = &m_messages;
    request.workers = m_workers.get();
    request.stars = m_stars.get();
    request.aspects = &m_settings->aspects;
    request.interp_files = m_interp.get();
    request.hindu_aspects = m_hindu.get();
    request.horoscopes_dir = horoscopes_dir();
    request.echo_to_stdout = false;
    request.show_run_text = std::move(show_text);
    request.dialogs = std::move(dialogs);
    if (h) {
        std::shared_ptr<ScriptHoroscopeFile> copy = ScriptHoroscopeFile::write(*h);
        if (!copy) {
            m_messages.tell(std::filesystem::temp_directory_path().string(), str(Str::HoroFileCannotWrite),
                            MessageIcon::Error);
            return false;
        }
        const std::string path = copy->path();
        request.dialogs = answering_dialogs({path}, std::move(copy));
    }
    if (kind == ScriptKind::Tk) return start_tk_script(request) >= 0;
    return run_tcl_script(request) == ScriptRunResult::Succeeded;
}

std::string TellurimApp::report(const Horoscope& h, int format) const {
    const int type = m_library && m_library->is_loaded() ? m_library->type() : h.options.ephemeris.type;
    const ReportSources sources{std::string(ephemeris_display_name(type)), m_hindu.get(),
                                m_stars ? m_stars.get() : nullptr};
    const FixedMeasure96 device;
    std::string text;
    (void)write_results_report(h, sources, format, doc_style_from_options(h.options), device, text);
    return text;
}

void TellurimApp::reread_settings() {
    Options now = m_settings->options;
    if (tellurim::update_options(private_dir(), m_settings->options, [&](Options& o) {
            now = o;
            return false;
        }))
        m_settings->options = now;
    m_settings->aspects.rows = load_aspect_table(m_settings->aspects.path, m_messages).table.rows;
}

bool TellurimApp::save_aspects(const AspectTable& table) {
    AspectTable saved = table;
    saved.path = m_settings->aspects.path;
    if (!save_aspect_table(saved)) {
        m_messages.tell(str(Str::AspectCannotWrite), str(Str::AspectCannotWriteCaption), MessageIcon::Error);
        return false;
    }
    // In place: every horoscope points to the table in force.
    m_settings->aspects.rows = std::move(saved.rows);
    return true;
}

}  // namespace tellurim
