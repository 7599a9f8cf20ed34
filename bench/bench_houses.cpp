// House cusps per call for the seven systems, side by side with Swiss Ephemeris'
// swe_houses_armc for the systems it computes the same way (same sidereal time, latitude and
// obliquity in both). Prints the time ratio Tellurim / Swiss Ephemeris after the run.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "sky/houses.h"
#include "sky/spherical.h"

#ifdef TELLURIM_HAVE_SWE
#include <swephexp.h>
#endif

namespace {

using namespace tellurim;

constexpr double kEpsDeg = 23.4392911;

struct Input {
    double theta_deg, lat_deg;
};

// 256 sidereal times and latitudes spread over the inhabited range.
const std::vector<Input>& inputs() {
    static const std::vector<Input> v = [] {
        std::vector<Input> r;
        for (int i = 0; i < 16; ++i)
            for (int j = 0; j < 16; ++j) r.push_back({i * 22.5 + 3.1, -60.0 + j * 8.0 + 0.7});
        return r;
    }();
    return v;
}

void BM_Tellurim(benchmark::State& state) {
    int system = static_cast<int>(state.range(0));
    const auto& in = inputs();
    double eps = kEpsDeg / kDegreesPerRadian;
    std::array<double, kHouseCount> cusps{};
    std::size_t k = 0;
    for (auto _ : state) {
        const Input& x = in[k++ % in.size()];
        bool ok = house_cusps(system, x.theta_deg / kDegreesPerRadian, x.lat_deg / kDegreesPerRadian, eps, cusps);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(cusps.data());
    }
    state.SetLabel(std::string(house_system_name(system)));
}
BENCHMARK(BM_Tellurim)->DenseRange(0, kHouseSystemCount - 1);

#ifdef TELLURIM_HAVE_SWE
void BM_Swe(benchmark::State& state) {
    int code = static_cast<int>(state.range(0));
    const auto& in = inputs();
    double cusps[13];
    double ascmc[10];
    std::size_t k = 0;
    for (auto _ : state) {
        const Input& x = in[k++ % in.size()];
        int rc = swe_houses_armc(x.theta_deg, x.lat_deg, kEpsDeg, code, cusps, ascmc);
        benchmark::DoNotOptimize(rc);
        benchmark::DoNotOptimize(cusps);
    }
    state.SetLabel(std::string(1, static_cast<char>(code)));
}
// C Campanus, B Alcabitus, R Regiomontanus, A equal from the Ascendant; P exact Placidus
// (iterated, so a different construction: shown for scale only).
BENCHMARK(BM_Swe)->Arg('C')->Arg('B')->Arg('R')->Arg('A')->Arg('P');
#endif

// Keeps the mean CPU time per iteration (the machine may be shared; wall time would count
// the waits) of every run, by name, for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> ns;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& r : runs)
            if (r.iterations > 0) ns[r.benchmark_name()] = r.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
#ifdef TELLURIM_HAVE_SWE
    struct Pair {
        int system;
        char code;
    } pairs[] = {{kCampanus, 'C'}, {kAlcabitus, 'B'}, {kRegiomontanus, 'R'}, {kModusAequalis, 'A'}, {kPlacidus, 'P'}};
    std::printf("\nCPU time per call, Tellurim / Swiss Ephemeris (below 1: Tellurim faster)\n");
    for (const auto& p : pairs) {
        auto t = reporter.ns.find("BM_Tellurim/" + std::to_string(p.system));
        auto s = reporter.ns.find("BM_Swe/" + std::to_string(static_cast<int>(p.code)));
        if (t == reporter.ns.end() || s == reporter.ns.end()) continue;
        std::printf("  %-14s vs '%c'%s: %7.1f ns / %7.1f ns = %.2f\n",
                    std::string(house_system_name(p.system)).c_str(), p.code,
                    p.code == 'P' ? " (exact, iterated)" : "", t->second, s->second, t->second / s->second);
    }
#endif
    benchmark::Shutdown();
    return 0;
}
