#include "ephemeris/jpl/jpl_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "base/regular_file.h"

namespace tellurim::ephjpl {
namespace {

// Header offsets of asc2eph's record 1 (bytes).
constexpr std::size_t kTitleBytes = 3 * 84;
constexpr std::size_t kNamesAt = kTitleBytes;          // 400 names of 6 characters
constexpr std::size_t kSpanAt = kNamesAt + 400 * 6;    // start, end, step: 3 f64
constexpr std::size_t kNconAt = kSpanAt + 24;          // i32
constexpr std::size_t kAuAt = kNconAt + 4;             // f64
constexpr std::size_t kEmratAt = kAuAt + 8;            // f64
constexpr std::size_t kIptAt = kEmratAt + 8;           // 12 x 3 i32
constexpr std::size_t kDenumAt = kIptAt + 12 * 3 * 4;  // i32
constexpr std::size_t kLptAt = kDenumAt + 4;           // 3 i32 (librations)
constexpr std::size_t kHeaderMin = kLptAt + 12;        // 2856
constexpr int kMaxConstants = 4000;

int components(int item) { return item == kJplNutations ? 2 : 3; }

bool read_at(int fd, void* to, std::size_t bytes, std::int64_t at) {
    auto* p = static_cast<unsigned char*>(to);
    std::size_t done = 0;
    while (done < bytes) {
        const ssize_t n = ::pread(fd, p + done, bytes - done, static_cast<off_t>(at + static_cast<std::int64_t>(done)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Numbers of the file in either byte order.
struct Decoder {
    bool big = false;
    std::uint64_t u(const unsigned char* p, int n) const {
        std::uint64_t v = 0;
        for (int i = 0; i < n; ++i) v |= std::uint64_t(p[big ? n - 1 - i : i]) << (8 * i);
        return v;
    }
    std::int32_t i32(const unsigned char* p) const { return static_cast<std::int32_t>(u(p, 4)); }
    double f64(const unsigned char* p) const { return std::bit_cast<double>(u(p, 8)); }
};

std::string trimmed(const unsigned char* p, std::size_t n) {
    std::string s(reinterpret_cast<const char*>(p), n);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
    std::size_t b = 0;
    while (b < s.size() && s[b] == ' ') ++b;
    return s.substr(b);
}

bool plausible_span(double start, double end, double step) {
    // JPL files cover at most -13200 to +17191 (DE441); a record spans a few days to a few months.
    return std::isfinite(start) && std::isfinite(end) && std::isfinite(step) && start > -3.5e6 && end < 1e7 &&
           start < end && step >= 1.0 && step <= 1000.0;
}

}  // namespace

JplFile::~JplFile() { close(); }

void JplFile::close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_cache = {};
    m_const_names.clear();
    m_const_values.clear();
}

bool JplFile::open(const std::string& path, std::string& why) {
    close();
    m_path = path;
    std::string cause;
    auto file = RegularFile::open(path, &cause);
    if (!file) {
        why = "cannot open " + path + ": " + cause;
        return false;
    }
    const std::int64_t size = static_cast<std::int64_t>(file->size());
    const int fd = file->release();
    auto fail = [&](const std::string& text) {
        ::close(fd);
        why = path + ": " + text;
        return false;
    };
    std::vector<unsigned char> head(kHeaderMin);
    if (size < static_cast<std::int64_t>(kHeaderMin) || !read_at(fd, head.data(), head.size(), 0))
        return fail("too short for a JPL ephemeris header (" + std::to_string(size) + " bytes)");

    // The byte order is the one in which the span, the number of constants and the DE
    // number all make sense.
    Decoder d;
    bool found = false;
    for (const bool big : {false, true}) {
        d.big = big;
        const int ncon = d.i32(&head[kNconAt]);
        const int denum = d.i32(&head[kDenumAt]);
        if (plausible_span(d.f64(&head[kSpanAt]), d.f64(&head[kSpanAt + 8]), d.f64(&head[kSpanAt + 16])) &&
            ncon >= 0 && ncon <= kMaxConstants && denum > 0 && denum < 100000) {
            found = true;
            break;
        }
    }
    if (!found) return fail("not a JPL binary ephemeris (its header holds no plausible span, DE number or constant count)");
    m_swap_is_big = d.big;
    m_swap = d.big != (std::endian::native == std::endian::big);
    m_title = trimmed(&head[0], 84);
    m_start = d.f64(&head[kSpanAt]);
    m_end = d.f64(&head[kSpanAt + 8]);
    m_step = d.f64(&head[kSpanAt + 16]);
    const int ncon = d.i32(&head[kNconAt]);
    m_au = d.f64(&head[kAuAt]);
    m_emrat = d.f64(&head[kEmratAt]);
    m_denum = d.i32(&head[kDenumAt]);
    for (int i = 0; i < 12; ++i)
        for (int k = 0; k < 3; ++k) m_ipt[i][k] = d.i32(&head[kIptAt + (i * 3 + k) * 4]);
    for (int k = 0; k < 3; ++k) m_ipt[kJplLibrations][k] = d.i32(&head[kLptAt + k * 4]);
    if (!(m_au > 1.4e8 && m_au < 1.6e8)) return fail("implausible AU in the header (" + std::to_string(m_au) + " km)");
    if (!(m_emrat > 70 && m_emrat < 90)) return fail("implausible Earth/Moon mass ratio in the header");

    // The record length: the end of the farthest block of coefficients. Past 400 constants,
    // newer files (DE430 on) add the remaining names and two more pointers (TT-TDB and the
    // lunar mantle) after the libration pointers; they lengthen the record too.
    int ncoeff = 2;
    auto extend = [&](const std::array<int, 3>& p, int comps) {
        if (p[1] > 0 && p[2] > 0) ncoeff = std::max(ncoeff, p[0] - 1 + p[1] * p[2] * comps);
    };
    for (int i = 0; i < kJplItemCount; ++i) {
        const auto& p = m_ipt[i];
        const bool absent = p[1] == 0 || p[2] == 0;
        if (!absent && (p[0] < 3 || p[1] < 2 || p[1] > 100 || p[2] < 1 || p[2] > 100))
            return fail("damaged pointer table (item " + std::to_string(i + 1) + ")");
        if (absent && i <= kJplSun) return fail("the file has no coefficients for item " + std::to_string(i + 1));
        extend(p, components(i));
    }
    std::vector<std::string> names;
    if (ncon > 400) {
        const std::size_t extra_at = kHeaderMin + static_cast<std::size_t>(ncon - 400) * 6;
        std::vector<unsigned char> more(extra_at + 24);
        if (read_at(fd, more.data(), more.size(), 0)) {
            for (int j = 0; j < 2; ++j) {
                std::array<int, 3> p{};
                for (int k = 0; k < 3; ++k) p[k] = d.i32(&more[extra_at + (j * 3 + k) * 4]);
                if (p[0] >= 3 && p[1] > 0 && p[1] <= 100 && p[2] > 0 && p[2] <= 100) extend(p, j == 0 ? 1 : 3);
            }
            for (int i = 400; i < ncon; ++i) names.push_back(trimmed(&more[kHeaderMin + (i - 400) * 6], 6));
        }
    }
    m_ncoeff = ncoeff;
    const std::int64_t rec_bytes = std::int64_t(m_ncoeff) * 8;
    if (rec_bytes < static_cast<std::int64_t>(kHeaderMin)) return fail("damaged pointer table (records shorter than the header)");
    const double span_records = (m_end - m_start) / m_step;
    m_records = std::llround(span_records);
    if (m_records < 1 || std::fabs(span_records - double(m_records)) > 1e-6)
        return fail("the span is not a whole number of records");
    const std::int64_t needed = (2 + m_records) * rec_bytes;
    if (size < needed)
        return fail("truncated: " + std::to_string(size) + " bytes, the header announces " + std::to_string(needed) +
                    " (" + std::to_string(m_records) + " records of " + std::to_string(rec_bytes) + " bytes)");

    // Constants: names from record 1, values from record 2.
    std::vector<unsigned char> rec(static_cast<std::size_t>(rec_bytes));
    if (!read_at(fd, rec.data(), rec.size(), rec_bytes)) return fail("cannot read the constants");
    const int kept = std::min<int>(ncon, static_cast<int>(rec_bytes / 8));
    for (int i = 0; i < kept; ++i) {
        m_const_names.push_back(i < 400 ? trimmed(&head[kNamesAt + i * 6], 6)
                                        : (i - 400 < static_cast<int>(names.size()) ? names[i - 400] : std::string()));
        m_const_values.push_back(d.f64(&rec[i * 8]));
    }
    m_fd = fd;
    // The first and last records must carry the dates the header announces.
    for (const double jd : {m_start, m_end}) {
        JplFailure failure;
        std::string text;
        if (!record(jd, failure, text)) {
            const std::string cause = text;
            close();
            why = cause;
            return false;
        }
    }
    return true;
}

std::optional<double> JplFile::constant(const std::string& name) const {
    for (std::size_t i = 0; i < m_const_names.size(); ++i)
        if (m_const_names[i] == name) return m_const_values[i];
    return std::nullopt;
}

std::size_t JplFile::memory_bytes() const {
    std::size_t n = sizeof(*this) + m_const_values.capacity() * sizeof(double);
    for (const auto& c : m_cache) n += c.c.capacity() * sizeof(double);
    for (const auto& s : m_const_names) n += s.capacity();
    return n;
}

const double* JplFile::record(double jd, JplFailure& failure, std::string& why) {
    if (m_fd < 0 || !std::isfinite(jd) || jd < m_start || jd > m_end) {
        failure = JplFailure::OutOfSpan;
        why = "outside the span";
        return nullptr;
    }
    std::int64_t index = static_cast<std::int64_t>(std::floor((jd - m_start) / m_step));
    if (index >= m_records) index = m_records - 1;  // the last instant belongs to the last record
    for (const auto& c : m_cache)
        if (c.index == index) return c.c.data();
    Cached& slot = m_cache[static_cast<std::size_t>(m_next_slot)];
    m_next_slot = (m_next_slot + 1) % static_cast<int>(m_cache.size());
    slot.index = -1;
    slot.c.resize(static_cast<std::size_t>(m_ncoeff));
    // A data record is only 64-bit floats: it is read in place and its bytes reversed when the
    // file's order is not the machine's (the header, of mixed fields, is decoded field by field
    // above). The dates and the finiteness checked below catch a record read wrongly.
    const std::int64_t rec_bytes = std::int64_t(m_ncoeff) * 8;
    if (!read_at(m_fd, slot.c.data(), static_cast<std::size_t>(rec_bytes), (2 + index) * rec_bytes)) {
        failure = JplFailure::Corrupt;
        why = m_path + ": cannot read record " + std::to_string(index + 3) + " (the file was shortened?)";
        return nullptr;
    }
    if (m_swap)
        for (double& v : slot.c) v = std::bit_cast<double>(__builtin_bswap64(std::bit_cast<std::uint64_t>(v)));
    const double first = m_start + double(index) * m_step;
    bool ok = std::fabs(slot.c[0] - first) < 1e-6 && std::fabs(slot.c[1] - (first + m_step)) < 1e-6;
    for (std::size_t i = 2; ok && i < slot.c.size(); ++i) ok = std::isfinite(slot.c[i]);
    // Coefficients that are numbers but not an ephemeris: the Earth-Moon barycentre must lie
    // 0.97 to 1.03 AU from the Sun and the Moon 0.0023 to 0.0028 AU from the Earth (their
    // ranges over the 30,000 years of DE441) in the middle of the record.
    if (ok) {
        const double mid = first + 0.5 * m_step;
        JplState emb, sun, moon;
        evaluate(slot.c.data(), kJplEarthMoonBarycentre, mid, emb);
        evaluate(slot.c.data(), kJplSun, mid, sun);
        evaluate(slot.c.data(), kJplMoon, mid, moon);
        const double r = std::hypot(emb.pos[0] - sun.pos[0], emb.pos[1] - sun.pos[1], emb.pos[2] - sun.pos[2]);
        const double m = std::hypot(moon.pos[0], moon.pos[1], moon.pos[2]);
        ok = r > 0.97 && r < 1.03 && m > 0.0023 && m < 0.0028;
    }
    if (!ok) {
        failure = JplFailure::Corrupt;
        why = m_path + ": record " + std::to_string(index + 3) + " is damaged (its dates or coefficients are not valid)";
        return nullptr;
    }
    slot.index = index;
    return slot.c.data();
}

bool JplFile::state(JplItem item, double jd, JplState& out, JplFailure& failure, std::string& why) {
    failure = JplFailure::None;
    if (!has(item)) {
        failure = JplFailure::Corrupt;
        why = m_path + ": the file holds no item " + std::to_string(item + 1);
        return false;
    }
    const double* rec = record(jd, failure, why);
    if (!rec) return false;
    evaluate(rec, item, jd, out);
    return true;
}

void JplFile::evaluate(const double* rec, JplItem item, double jd, JplState& out) const {
    const auto& p = m_ipt[item];
    const int ncf = p[1], nsub = p[2], comps = components(item);
    const double sub_len = m_step / nsub;
    const double from_start = jd - rec[0];
    int sub = static_cast<int>(from_start / sub_len);
    sub = std::clamp(sub, 0, nsub - 1);
    const double x = 2.0 * (from_start - sub * sub_len) / sub_len - 1.0;
    // Chebyshev polynomials T_k(x) and their derivatives T'_k(x).
    double t[100], dt[100];
    t[0] = 1.0;
    t[1] = x;
    dt[0] = 0.0;
    dt[1] = 1.0;
    for (int k = 2; k < ncf; ++k) {
        t[k] = 2.0 * x * t[k - 1] - t[k - 2];
        dt[k] = 2.0 * t[k - 1] + 2.0 * x * dt[k - 1] - dt[k - 2];
    }
    const double* c = rec + (p[0] - 1) + std::ptrdiff_t(sub) * ncf * comps;
    const bool radians = item == kJplNutations || item == kJplLibrations;
    const double scale = radians ? 1.0 : 1.0 / m_au;
    const double rate = 2.0 / sub_len;
    for (int i = 0; i < comps; ++i, c += ncf) {
        double s = 0, v = 0;
        for (int k = ncf - 1; k >= 0; --k) {
            s += c[k] * t[k];
            v += c[k] * dt[k];
        }
        out.pos[i] = s * scale;
        out.vel[i] = v * rate * scale;
    }
    if (comps == 2) out.pos[2] = out.vel[2] = 0.0;
}

}  // namespace tellurim::ephjpl
