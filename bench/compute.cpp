// Time of one full chart computation (every step of the pipeline, fresh horoscope each time)
// for each ephemeris provider present, and Swiss Ephemeris computing the same bodies (twelve
// bodies, geocentric and heliocentric, tropical and sidereal) and the same two house tables
// in the same run. Google Benchmark times one chart per iteration, the 300 charts in turn;
// the wall time and the CPU time of the whole process (the position step's worker included)
// are both reported, five repetitions by default, and the ratios are those of the medians.
// First, where the time goes: each step's median over the charts of three passes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "astro/compute.h"
#include "astro/lunations.h"
#include "core/ephemeris_library.h"
#include "core/horoscope.h"
#include "core/messages.h"
#include "core/options.h"
#include "core/worker_threads.h"

#ifdef TELLURIM_HAVE_SWE
#include <swephexp.h>
#endif

using namespace tellurim;

namespace {

constexpr int kCharts = 300;

struct Chart {
    double jd_ut;
    double lon;
    double lat;
};

std::vector<Chart> charts() {
    std::mt19937 rng(2024);
    std::uniform_real_distribution<double> day(2433282.5, 2469807.5);  // 1950-2050
    std::uniform_real_distribution<double> lon(-180.0, 180.0);
    std::uniform_real_distribution<double> lat(-60.0, 60.0);
    std::vector<Chart> out;
    for (int i = 0; i < kCharts; ++i) out.push_back({day(rng), lon(rng), lat(rng)});
    return out;
}

BirthData birth(const Chart& c) {
    BirthData d;
    d.last_name = "Bench";
    d.place.longitude = AngleValue::degrees(c.lon, kFormatEastWest);
    d.place.latitude = AngleValue::degrees(c.lat, kFormatNorthSouth);
    d.ut = date_hour_from_ut(c.jd_ut);
    d.local = d.ut;
    return d;
}

const char* kStepNames[kComputeSteps] = {
    "obliquity", "sidereal time", "sunrise/sunset", "movable houses", "fixed houses", "positions (worker)",
    "equatorial", "horizontal", "lunation", "Hindu data", "Hindu subs", "friendships", "aspects planets",
    "aspects houses", "quality", "planet strengths", "house strengths", "bindus", "trikona", "ekadhipatya",
    "cache keys",
};

// One provider, loaded once, with its own worker table, and its charts.
struct Provider {
    const char* name;
    EphemerisLibrary library;
    WorkerThreads workers;
    RecordingMessages messages;
    Options options;
    std::vector<Chart> charts;
    std::unique_ptr<Horoscope> h = std::make_unique<Horoscope>();

    bool compute(const Chart& c, ComputeReport* report = nullptr) {
        return set_and_compute(*h, birth(c), true, options, messages, workers, library, nullptr, report);
    }
};

// Each step's median over three passes of the provider's charts.
bool print_steps(Provider& p) {
    std::vector<std::vector<double>> us(kComputeSteps);
    ComputeReport r;
    for (int pass = 0; pass < 3; ++pass) {
        for (const Chart& c : p.charts) {
            if (!p.compute(c, &r)) {
                std::printf("%s: computation failed at JD %.5f lon %.2f lat %.2f: %s\n", p.name, c.jd_ut, c.lon, c.lat,
                            p.messages.messages.empty() ? "birth data" : p.messages.messages.back().text.c_str());
                return false;
            }
            for (std::size_t i = 0; i < kComputeSteps; ++i) us[i].push_back(r.seconds[i] * 1e6);
        }
    }
    std::printf("%s, median of each step over %zu charts:\n", p.name, p.charts.size());
    for (std::size_t i = 0; i < kComputeSteps; ++i) {
        auto& v = us[i];
        std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
        const double median = v[v.size() / 2];
        if (median > 0.0) std::printf("  step %2zu %-20s %8.1f us\n", i + 1, kStepNames[i], median);
    }
    return true;
}

void chart_benchmark(benchmark::State& state, Provider* p) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(p->compute(p->charts[i]));
        i = (i + 1) % p->charts.size();
    }
}

#ifdef TELLURIM_HAVE_SWE
void swe_benchmark(benchmark::State& state, const std::vector<Chart>* cs, int flags) {
    static const int kBodies[] = {SE_SUN,    SE_MOON,   SE_MERCURY, SE_VENUS,  SE_MARS,     SE_JUPITER,
                                  SE_SATURN, SE_URANUS, SE_NEPTUNE, SE_PLUTO,  SE_MEAN_NODE};
    char err[256];
    double x[6];
    double cusps[13];
    double ascmc[10];
    swe_set_sid_mode(SE_SIDM_FAGAN_BRADLEY, 0, 0);
    std::size_t i = 0;
    for (auto _ : state) {
        const Chart& c = (*cs)[i];
        i = (i + 1) % cs->size();
        for (int body : kBodies) {
            for (int frame : {0, SEFLG_SIDEREAL}) {
                swe_calc_ut(c.jd_ut, body, flags | SEFLG_SPEED | frame, x, err);
                benchmark::DoNotOptimize(x[0]);
                if (body != SE_SUN && body != SE_MOON && body != SE_MEAN_NODE) {
                    swe_calc_ut(c.jd_ut, body, flags | SEFLG_HELCTR | frame, x, err);
                    benchmark::DoNotOptimize(x[0]);
                }
            }
        }
        swe_houses_ex(c.jd_ut, 0, c.lat, c.lon, 'P', cusps, ascmc);
        swe_houses_ex(c.jd_ut, SEFLG_SIDEREAL, c.lat, c.lon, 'P', cusps, ascmc);
        benchmark::DoNotOptimize(cusps[1]);
    }
}
#endif

// Keeps the median wall and CPU time of each benchmark, for the ratios.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    struct Median {
        double real = 0;
        double cpu = 0;
    };
    std::map<std::string, Median> medians;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                medians[r.run_name.function_name] = {r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    setenv("TELLURIM_LIB_DIR", TELLURIM_BIN_DIR, 0);
    // Five repetitions unless the command line says otherwise.
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=5";
    if (std::none_of(args.begin(), args.end(), [](const char* a) {
            return std::string_view(a).starts_with("--benchmark_repetitions");
        }))
        args.push_back(repetitions.data());
    int args_count = static_cast<int>(args.size());
    benchmark::Initialize(&args_count, args.data());

    const auto cs = charts();
    // The JPL provider on the DE405 that setup converts (1960-2060): the charts of 1960 on.
    std::vector<Chart> cs_jpl;
    for (const Chart& c : cs)
        if (c.jd_ut > 2436935.0) cs_jpl.push_back(c);
    const char* jpl_env = std::getenv("TELLURIM_JPL_FILE");
    const std::string jpl_file =
        jpl_env ? jpl_env : std::string(TELLURIM_SOURCE_DIR) + "/data/ephemeris/de405_1960_2060.eph";

    std::printf("%d charts, 1950-2050, latitudes -60 to 60; goal: at most 1000 us per chart\n", kCharts);
    std::vector<std::unique_ptr<Provider>> providers;
    for (auto [type, name] : {std::pair{kEphemerisLow, "low"}, {kEphemerisBdl, "bdl"}, {kEphemerisJpl, "jpl"}}) {
        auto p = std::make_unique<Provider>();
        p->name = name;
        const std::string file = type == kEphemerisJpl ? jpl_file : std::string();
        if (auto st = p->library.load(type, file); !st) {
            std::printf("%-6s provider not present (%s)\n", name, st.message.c_str());
            continue;
        }
        p->options.ephemeris.type = type;
        p->options.ephemeris.jpl_file = file;
        p->charts = type == kEphemerisJpl ? cs_jpl : cs;
        if (!print_steps(*p)) return 1;
        providers.push_back(std::move(p));
    }
    for (auto& p : providers)
        benchmark::RegisterBenchmark((std::string("chart/") + p->name).c_str(), chart_benchmark, p.get())
            ->UseRealTime()
            ->MeasureProcessCPUTime()
            ->Unit(benchmark::kMicrosecond);
#ifdef TELLURIM_HAVE_SWE
    swe_set_ephe_path(const_cast<char*>("/usr/share/libswe/ephe"));
    benchmark::RegisterBenchmark("swe/files", swe_benchmark, &cs, SEFLG_SWIEPH)
        ->UseRealTime()
        ->MeasureProcessCPUTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("swe/moshier", swe_benchmark, &cs, SEFLG_MOSEPH)
        ->UseRealTime()
        ->MeasureProcessCPUTime()
        ->Unit(benchmark::kMicrosecond);
#endif
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
#ifdef TELLURIM_HAVE_SWE
    swe_close();
    const auto& m = reporter.medians;
    const auto swe_files = m.find("swe/files"), swe_moshier = m.find("swe/moshier");
    if (swe_files != m.end() && swe_moshier != m.end()) {
        std::printf("ratios of the medians (wall / CPU), Swiss Ephemeris computing positions and houses only:\n");
        for (const auto& p : providers) {
            const auto it = m.find(std::string("chart/") + p->name);
            if (it == m.end()) continue;
            const auto& t = it->second;
            std::printf("  %s / SWE files: %.2f / %.2f   %s / SWE Moshier: %.2f / %.2f\n", p->name,
                        t.real / swe_files->second.real, t.cpu / swe_files->second.cpu, p->name,
                        t.real / swe_moshier->second.real, t.cpu / swe_moshier->second.cpu);
        }
    }
#else
    std::puts("Swiss Ephemeris not found: no peer timing");
#endif
    benchmark::Shutdown();
    return 0;
}
