// Speed of the script commands against the same work in C++, in the same run: 1,000 charts,
// each computed (ComputeHoroscope from texts in the script, set_and_compute from the same
// texts parsed in C++), then its 18 movable longitudes, its 12 movable cusps and the aspects of
// its 153 pairs of planets read. Target: the script at most 3 times the C++ time. Prints the
// wall time of 1,000 charts each way and the ratio (the ephemeris runs on a worker thread, so
// CPU time of the calling thread would not count it).
#include <benchmark/benchmark.h>
#include <tcl.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "astro/aspects.h"
#include "astro/compute.h"
#include "base/text.h"
#include "core/birth_input.h"
#include "files/options_file.h"
#include "script/commands_chart.h"
#include "script/tcl_host.h"

using namespace tellurim;

namespace {

constexpr int kCharts = 1000;
constexpr const char* kLongitude = "0h09'23.73\"E";
constexpr const char* kLatitude = "48d51'24\"N";

Options bench_options() {
    Options o = make_default_options("/tmp");
    o.astro.house_system = kPlacidus;
    o.astro.zodiac_movable = 1;
    return o;
}

// 1,000 universal date-hours a little over a day apart from 1950 on, so that every chart differs.
std::vector<std::string> dates() {
    std::vector<std::string> out;
    DateHour d = parse_date_hour("1950-01-01 00:00:00.00 GD").value;
    for (int i = 0; i < kCharts; ++i) {
        DateHour t = d;
        (void)set_julian_day_ut(t, d.jd_ut + i * 1.37);
        out.push_back(format_date_hour(t));
    }
    return out;
}

void BM_Script(benchmark::State& state) {
    SilentMessages silent;
    std::string run_text;
    ScriptContext context;
    context.messages = &silent;
    context.error_text = &run_text;
    context.output_text = &run_text;
    context.echo_to_stdout = false;
    context.options = bench_options();
    auto interp = TclInterpreter::create(context, ScriptKind::Tcl);
    Tcl_Obj* list = Tcl_NewListObj(0, nullptr);
    for (const std::string& d : dates()) Tcl_ListObjAppendElement(nullptr, list, Tcl_NewStringObj(d.c_str(), -1));
    Tcl_SetVar2Ex(interp->get(), "dates", nullptr, list, TCL_GLOBAL_ONLY);
    Tcl_SetVar2(interp->get(), "lon", nullptr, kLongitude, TCL_GLOBAL_ONLY);
    Tcl_SetVar2(interp->get(), "lat", nullptr, kLatitude, TCL_GLOBAL_ONLY);
    const char* script = R"(proc charts {} {
        global dates lon lat
        set n 0
        foreach d $dates {
            ComputeHoroscope -datehourUT $d -place_longitude $lon -place_latitude $lat -name Bench
            set out {}
            for {set p 0} {$p < 18} {incr p} { lappend out [LongOfPlanet $p -mov] }
            for {set h 1} {$h <= 12} {incr h} { lappend out [MovLongOfHouse $h] }
            for {set p 0} {$p < 18} {incr p} {
                for {set q [expr {$p + 1}]} {$q < 18} {incr q} { lappend out [GetAspectPP $p $q] }
            }
            incr n [llength $out]
            RemoveHoroscope
        }
        return $n
    })";
    if (Tcl_EvalEx(interp->get(), script, -1, TCL_EVAL_GLOBAL) != TCL_OK) state.SkipWithError("script");
    for (auto _ : state) {
        if (Tcl_EvalEx(interp->get(), "charts", -1, TCL_EVAL_GLOBAL) != TCL_OK) {
            state.SkipWithError(Tcl_GetStringResult(interp->get()));
            break;
        }
    }
}
BENCHMARK(BM_Script)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_Cpp(benchmark::State& state) {
    SilentMessages silent;
    ScriptContext context;  // for the same provider and worker table as the script
    context.options = bench_options();
    script_chart::ComputeTools& tools = script_chart::compute_tools(context);
    const std::vector<std::string> texts = dates();
    const AspectTable table{default_aspect_rows(), ""};
    for (auto _ : state) {
        std::size_t n = 0;
        for (const std::string& text : texts) {
            BirthData data;
            data.last_name = "Bench";
            data.ut = parse_date_hour(text).value;
            data.local = data.ut;
            data.place.longitude = *parse_angle(kLongitude);
            data.place.latitude = *parse_angle(kLatitude);
            auto h = std::make_unique<Horoscope>();
            if (!set_and_compute(*h, data, true, context.options, silent, tools.own_workers, tools.library)) {
                state.SkipWithError("compute");
                return;
            }
            std::vector<double> out;
            for (int p = 0; p < kPlanetRows; ++p) out.push_back(script_chart::degrees_of(h->geo_movable.at(p).longitude));
            for (const HouseCusp& cusp : h->houses_movable) out.push_back(script_chart::degrees_of(cusp.longitude));
            for (int p = 0; p < kPlanetRows; ++p)
                for (int q = p + 1; q < kPlanetRows; ++q)
                    for (const AspectListing& a : get_aspects_pp(h.get(), table, p, q).aspects)
                        out.insert(out.end(), {a.angle_deg, a.orb_deg, a.separation_deg});
            n += out.size();
        }
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_Cpp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> ms;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& r : runs)
            if (r.iterations > 0 && !r.error_occurred) ms[r.run_name.function_name] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    setenv("TELLURIM_LIB_DIR", TELLURIM_BIN_DIR, 0);  // the providers stand beside the program
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (reporter.ms.count("BM_Script") && reporter.ms.count("BM_Cpp")) {
        const double ratio = reporter.ms["BM_Script"] / reporter.ms["BM_Cpp"];
        std::printf("\n1,000 charts: script %.1f ms, C++ %.1f ms, ratio %.2f (target at most 3): %s\n",
                    reporter.ms["BM_Script"], reporter.ms["BM_Cpp"], ratio, ratio <= 3.0 ? "met" : "MISSED");
    }
    benchmark::Shutdown();
    return 0;
}
