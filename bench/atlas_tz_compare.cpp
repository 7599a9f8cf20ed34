// The atlas's time-zone corrections against the C library's own reading of the same IANA
// zone, and the speed of a search with correction in the largest city file.
//
//   atlas_tz_compare [--atlas DIR] [--samples N] [benchmark flags]
//
// First, it draws N random (city, legal date-time 1900-2037) pairs from the generated atlas,
// converts each with the city's correction file (Find correction) and with glibc
// (TZ=<zone>, mktime with tm_isdst = -1), and counts agreements. Legal times within two
// hours of a change (gaps and repeated hours, where the two readings may legitimately
// differ) and local-mean-time records (the atlas uses the city's own longitude, glibc the
// zone's reference city) are counted apart; everything else must agree to the second.
// Then it times Find city with correction in "United States" against a glibc conversion.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fmt/format.h>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/paths.h"
#include "files/cities.h"

namespace fs = std::filesystem;
using namespace tellurim;

namespace {

std::string g_atlas;

struct Sample {
    std::string dir;
    BirthPlace place;
    std::string zone;
};

long glibc_offset_at(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm.tm_gmtoff;
}

void use_zone(const std::string& zone) {
    setenv("TZ", (":" + zone).c_str(), 1);
    tzset();
}

int compare(long samples) {
    // Every country's city file holds all its cities: a uniform draw over countries' records.
    std::vector<std::pair<std::string, std::vector<BirthPlace>>> files;
    std::vector<std::size_t> cumulative;
    std::size_t total = 0;
    for (const auto& entry : fs::directory_iterator(g_atlas)) {
        fs::path f = entry.path() / kCitiesFile;
        if (!entry.is_directory() || !fs::exists(f)) continue;
        auto places = read_city_file(f.string());
        if (!places) continue;
        total += places->size();
        cumulative.push_back(total);
        files.emplace_back(entry.path().string(), std::move(*places));
    }
    if (total == 0) {
        std::cerr << "atlas_tz_compare: no atlas in " << g_atlas << "\n";
        return 1;
    }
    std::map<std::string, std::string> zone_of_file;  // correction file -> IANA zone
    std::mt19937_64 rng(20240606);
    std::uniform_int_distribution<std::size_t> pick(0, total - 1);
    std::int64_t from = -2208988800;  // 1900-01-01
    std::int64_t to = 2145916800;     // 2038-01-01
    std::uniform_int_distribution<std::int64_t> when(from / 60, to / 60 - 1);

    long agree = 0, near_change = 0, near_agree = 0, lmt = 0, lmt_ok = 0, not_found = 0, disagree = 0;
    std::vector<std::string> report;
    for (long i = 0; i < samples; ++i) {
        std::size_t k = pick(rng);
        std::size_t f = static_cast<std::size_t>(std::upper_bound(cumulative.begin(), cumulative.end(), k) - cumulative.begin());
        const auto& [dir, places] = files[f];
        const BirthPlace& p = places[k - (f == 0 ? 0 : cumulative[f - 1])];
        std::string zfile = join_path(dir, correction_file_name(p.time_zone));
        auto& zone = zone_of_file[zfile];
        if (zone.empty()) {
            auto recs = read_correction_file(zfile);
            if (!recs) {
                ++not_found;
                continue;
            }
            zone = recs->front().description.substr(0, recs->front().description.find(' '));
        }
        // a legal date-time, to the minute, read as if it were UTC for its calendar fields
        std::time_t local_as_utc = static_cast<std::time_t>(when(rng) * 60);
        std::tm fields{};
        gmtime_r(&local_as_utc, &fields);
        DateHour d = parse_date_hour(fmt::format("{:04d}-{:02d}-{:02d} {:02d}:{:02d}:00", fields.tm_year + 1900,
                                                 fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min))
                         .value;
        CorrectionResult r = find_correction(d, zfile, p);
        if (!r.found) {
            ++not_found;
            if (report.size() < 20) report.push_back(fmt::format("no correction: {} {} {}", p.city, zone, r.feedback));
            continue;
        }
        auto ours = static_cast<std::int64_t>(std::llround((d.jd_ut - 2440587.5) * 86400.0));

        use_zone(zone);
        std::tm tm = fields;
        tm.tm_isdst = -1;
        std::int64_t theirs = mktime(&tm);
        if (is_local_mean_time(r.record.correction)) {
            ++lmt;
            double expected = static_cast<double>(local_as_utc) - p.longitude.to_hours() * 3600.0;
            if (std::fabs(static_cast<double>(ours) - expected) <= 1.0) ++lmt_ok;
            continue;
        }
        bool near = glibc_offset_at(static_cast<std::time_t>(theirs - 7200)) !=
                    glibc_offset_at(static_cast<std::time_t>(theirs + 7200));
        if (near) {
            ++near_change;
            if (ours == theirs) ++near_agree;
            continue;
        }
        if (ours == theirs) {
            ++agree;
            continue;
        }
        ++disagree;
        if (report.size() < 20)
            report.push_back(fmt::format("{} ({}) {:04d}-{:02d}-{:02d} {:02d}:{:02d}: atlas {:+d} s vs glibc; {}", p.city,
                                         zone, fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour,
                                         fields.tm_min, ours - theirs, r.record.description));
    }
    long compared = agree + disagree;
    std::cout << fmt::format("atlas_tz_compare: {} samples from {} cities in {} files, {} zones\n", samples, total,
                             files.size(), zone_of_file.size());
    std::cout << fmt::format("  outside changes: {} / {} agree with glibc ({:.3f} %)\n", agree, compared,
                             compared ? 100.0 * agree / compared : 0.0);
    std::cout << fmt::format("  within 2 h of a change: {} / {} agree (gap and overlap readings may differ)\n",
                             near_agree, near_change);
    std::cout << fmt::format("  local mean time records: {} ({} equal to minus the city's longitude)\n", lmt, lmt_ok);
    std::cout << fmt::format("  no correction found: {}\n", not_found);
    for (const auto& line : report) std::cout << "  " << line << "\n";
    unsetenv("TZ");
    tzset();
    return disagree == 0 && not_found == 0 ? 0 : 1;
}

void BM_FindCityWithCorrection(benchmark::State& state, const char* city, const char* county) {
    NameCollator names = NameCollator::for_user();
    AtlasSettings atlas{g_atlas, "USA"};
    for (auto _ : state) {
        CityQuery q;
        q.country = "United States";
        q.city = city;
        q.county = county;
        q.date_hour = "1969-07-20 20:17:40";
        bool ok = find_city(q, atlas, true, names);
        if (!ok) state.SkipWithError(q.feedback.c_str());
        benchmark::DoNotOptimize(q);
    }
}
// The most populous city (first record) and the last of the 16,000 records (Vanceboro, Maine).
BENCHMARK_CAPTURE(BM_FindCityWithCorrection, first_record, "New York City", "")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindCityWithCorrection, last_record, "Vanceboro", "")->Unit(benchmark::kMillisecond);

// Peer: the C library's conversion of one legal time in one zone (zone switch included).
void BM_GlibcMktime(benchmark::State& state) {
    for (auto _ : state) {
        use_zone("America/New_York");
        std::tm tm{};
        tm.tm_year = 69, tm.tm_mon = 6, tm.tm_mday = 20, tm.tm_hour = 20, tm.tm_min = 17, tm.tm_sec = 40;
        tm.tm_isdst = -1;
        benchmark::DoNotOptimize(mktime(&tm));
    }
}
BENCHMARK(BM_GlibcMktime)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    g_atlas = join_path(base_directory(), "countries");
    long samples = 20000;
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--atlas" && i + 1 < argc) g_atlas = argv[++i];
        else if (a == "--samples" && i + 1 < argc) samples = std::atol(argv[++i]);
        else rest.push_back(argv[i]);
    }
    int status = compare(samples);
    int n = static_cast<int>(rest.size());
    benchmark::Initialize(&n, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return status;
}
