#pragma once
// A script run whose interpreter holds the sample birth of `make run` as its current
// horoscope: Paris, 1944-06-06 08:00 legal time (06:00 UT), Placidus houses, the movable
// zodiac, the low-precision provider. The horoscope is computed in C++ as the command line
// computes it and pushed into the run's own list. With a stars file the run has a catalogue.
// For the script command tests and the command-layer fuzz target.

#include <tcl.h>

#include <memory>
#include <string>
#include <utility>

#include "astro/compute.h"
#include "core/ephemeris_library.h"
#include "core/messages.h"
#include "core/worker_threads.h"
#include "files/stars_file.h"
#include "script/tcl_host.h"
#include "sky/houses.h"

namespace tellurim::testing_data {

inline Options sample_options() {
    Options o;
    o.ephemeris.type = kEphemerisLow;
    o.astro.house_system = *house_system_from_name("Placidus");
    o.astro.zodiac_movable = 1;
    return o;
}

// The sample chart, or nullptr when the provider does not load or the computation fails.
inline std::unique_ptr<Horoscope> sample_horoscope() {
    EphemerisLibrary library;
    if (!library.load(kEphemerisLow)) return nullptr;
    BirthData d;
    d.last_name = "Sample";
    d.first_name = "Birth";
    d.sex = kWoman;
    d.place.city = "Paris";
    d.country = "France";
    d.place.longitude = AngleValue::degrees(2.0 + 20.0 / 60 + 56.0 / 3600, kFormatEastWest);
    d.place.latitude = AngleValue::degrees(48.0 + 51.0 / 60 + 24.0 / 3600, kFormatNorthSouth);
    d.ut = parse_date_hour("1944-06-06 06:00:00").value;
    d.local = parse_date_hour("1944-06-06 08:00:00").value;
    SilentMessages messages;
    WorkerThreads workers;
    auto h = std::make_unique<Horoscope>();
    if (!set_and_compute(*h, d, true, sample_options(), messages, workers, library)) return nullptr;
    return h;
}

class SampleScriptRun {
public:
    explicit SampleScriptRun(const std::string& stars_file = {}) {
        context.messages = &messages;
        context.error_text = &run_text;
        context.output_text = &run_text;
        context.echo_to_stdout = false;
        context.options = sample_options();
        context.horoscopes_dir = "/tmp/horoscopes";
        if (!stars_file.empty() && load_star_catalogue(stars_file, m_stars)) context.stars = &m_stars;
        if (auto h = sample_horoscope()) {
            context.horoscopes.push_back(std::move(h));
            context.current = 0;
        }
        m_interp = TclInterpreter::create(context, ScriptKind::Tcl);
    }
    bool ready() const { return m_interp && context.current_horoscope(); }
    Tcl_Interp* interp() const { return m_interp->get(); }
    // The code and the result of `script`, evaluated at global level.
    std::pair<int, std::string> eval(const std::string& script) {
        const int code = Tcl_EvalEx(interp(), script.c_str(), static_cast<int>(script.size()), TCL_EVAL_GLOBAL);
        return {code, Tcl_GetStringResult(interp())};
    }

    SilentMessages messages;
    std::string run_text;
    ScriptContext context;

private:
    StarCatalogue m_stars;
    std::unique_ptr<TclInterpreter> m_interp;
};

}  // namespace tellurim::testing_data
