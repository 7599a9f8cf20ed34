#pragma once
// Reader of JPL binary ephemeris files (DE200, DE405, DE430, DE440, DE441, ...), as JPL's
// asc2eph program writes them: fixed-size records of NCOEFF 64-bit floats in the byte order
// of the machine that wrote the file. Record 1 is the header (three title lines, the names
// of the first 400 constants, the span and record length in days, the number of
// constants, the AU in km, the Earth/Moon mass ratio, the pointer table, the DE number, the
// libration pointers and, past 400 constants, the remaining names and pointers); record 2
// holds the constant values; every later record holds the Chebyshev coefficients of one
// interval, preceded by its first and last Julian day (TDB).
//
// Everything is taken from the file itself: the record length from the pointer table, the
// byte order from the plausibility of the header's numbers. Positions come out in AU and
// AU a day, in the ICRF of the file, barycentric for the planets and the Sun, geocentric for
// the Moon.
//
// The reader keeps the open file and the four records read last (a light-time step back
// may fall into the previous record, and a chart's lunation searches span three records of
// DE405); it reads nothing else into memory, so a DE441 of several gigabytes costs no more
// than a small file.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tellurim::ephjpl {

// Items of the pointer table, in the file's order.
enum JplItem : int {
    kJplMercury = 0,
    kJplVenus,
    kJplEarthMoonBarycentre,
    kJplMars,
    kJplJupiter,
    kJplSaturn,
    kJplUranus,
    kJplNeptune,
    kJplPluto,
    kJplMoon,  // geocentric
    kJplSun,
    kJplNutations,   // 2 components: dpsi, deps (radians)
    kJplLibrations,  // 3 components
    kJplItemCount
};

struct JplState {
    double pos[3] = {0, 0, 0};  // AU (radians for nutations)
    double vel[3] = {0, 0, 0};  // AU a day
};

// Why a read failed: the date lies outside the file's span, or the file is damaged.
enum class JplFailure { None, OutOfSpan, Corrupt };

class JplFile {
public:
    JplFile() = default;
    ~JplFile();
    JplFile(const JplFile&) = delete;
    JplFile& operator=(const JplFile&) = delete;

    // Opens and checks the header; on failure `why` says what is wrong and nothing is open.
    bool open(const std::string& path, std::string& why);
    void close();
    bool is_open() const { return m_fd >= 0; }

    double start_jd() const { return m_start; }
    double end_jd() const { return m_end; }
    double interval_days() const { return m_step; }
    int de_number() const { return m_denum; }
    double km_per_au() const { return m_au; }
    double earth_moon_ratio() const { return m_emrat; }
    bool has(JplItem item) const { return m_ipt[item][1] > 0 && m_ipt[item][2] > 0; }
    bool big_endian() const { return m_swap_is_big; }
    int coefficients_per_record() const { return m_ncoeff; }
    const std::string& title() const { return m_title; }
    const std::string& path() const { return m_path; }
    // The value of a named constant of record 2 ("AU", "EMRAT", "CLIGHT", ...).
    std::optional<double> constant(const std::string& name) const;
    // Bytes the reader holds (record buffers and constants).
    std::size_t memory_bytes() const;

    // Item `item` at Julian day `jd` (TDB). On failure returns false, sets `failure`, and
    // `why` says what is wrong.
    bool state(JplItem item, double jd, JplState& out, JplFailure& failure, std::string& why);

private:
    const double* record(double jd, JplFailure& failure, std::string& why);
    // The Chebyshev series of `item` in the record `rec` at `jd`.
    void evaluate(const double* rec, JplItem item, double jd, JplState& out) const;

    int m_fd = -1;
    std::string m_path;
    std::string m_title;
    bool m_swap = false;          // the file's byte order differs from the machine's
    bool m_swap_is_big = false;   // the file is big-endian
    double m_start = 0, m_end = 0, m_step = 0;
    int m_denum = 0;
    double m_au = 0, m_emrat = 0;
    int m_ncoeff = 0;
    std::int64_t m_records = 0;
    std::array<std::array<int, 3>, kJplItemCount> m_ipt{};  // offset (from 1), coefficients, sub-intervals
    std::vector<std::string> m_const_names;
    std::vector<double> m_const_values;
    struct Cached {
        std::int64_t index = -1;
        std::vector<double> c;
    };
    std::array<Cached, 4> m_cache;
    int m_next_slot = 0;
};

}  // namespace tellurim::ephjpl
