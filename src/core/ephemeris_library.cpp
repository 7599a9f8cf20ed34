#include "core/ephemeris_library.h"

#include <dlfcn.h>

#include <cmath>
#include <cstring>

#include "core/paths.h"
#include "core/strings.h"
#include "core/text.h"

namespace tellurim {
namespace {

// The texts of getInfos are kept to this many UTF-16 units, as the options dialog shows them.

// dlsym hands out an object pointer; copying its bits is the portable way to a function
// pointer (a cast between the two kinds is only conditionally supported).
template <typename Fn>
Fn symbol(void* handle, const char* name) {
    void* p = dlsym(handle, name);
    Fn fn = nullptr;
    static_assert(sizeof(fn) == sizeof(p));
    std::memcpy(&fn, &p, sizeof(fn));
    return fn;
}

void put_u32(std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void put_f64(std::uint8_t* at, double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i) at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}
std::uint32_t get_u32(const std::uint8_t* at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t(at[i]) << (8 * i);
    return v;
}
double get_f64(const std::uint8_t* at) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= std::uint64_t(at[i]) << (8 * i);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

// The AngleValue image of core/angle_value.h: 0 kind i32 | 4 pad | 8 value f64 | 16 unit i32 | 20 format i32
void put_angle(std::uint8_t* at, const AngleValue& a) {
    put_u32(at, static_cast<std::uint32_t>(a.kind));
    put_f64(at + 8, a.value);
    put_u32(at + 16, static_cast<std::uint32_t>(a.unit));
    put_u32(at + 20, static_cast<std::uint32_t>(a.format));
}
AngleValue get_angle(const std::uint8_t* at) {
    AngleValue a;
    a.kind = static_cast<std::int32_t>(get_u32(at));
    a.value = get_f64(at + 8);
    a.unit = static_cast<std::int32_t>(get_u32(at + 16));
    a.format = static_cast<std::int32_t>(get_u32(at + 20));
    return a;
}
static_assert(kAngleValueSize == 24);

}  // namespace

int planet_of_body(std::string_view name) {
    for (const auto& b : kEphemerisBodies)
        if (name == b.name) return b.planet;
    return -1;
}

std::string_view body_of_planet(int planet) {
    for (const auto& b : kEphemerisBodies)
        if (planet == b.planet) return b.name;
    return {};
}

void write_position_record(PositionRecordBytes& out, const BodyPositions& p) {
    out.fill(0);
    std::uint8_t* r = out.data();
    put_angle(r + kRecHelioMovLon, p.helio_mov.longitude);
    put_angle(r + kRecHelioMovLat, p.helio_mov.latitude);
    put_f64(r + kRecHelioMovDist, p.helio_mov.distance.value);
    put_angle(r + kRecHelioFixLon, p.helio_fix.longitude);
    put_angle(r + kRecHelioFixLat, p.helio_fix.latitude);
    put_f64(r + kRecHelioFixDist, p.helio_fix.distance.value);
    put_angle(r + kRecGeoMovLon, p.geo_mov.longitude);
    put_angle(r + kRecGeoMovLat, p.geo_mov.latitude);
    put_f64(r + kRecGeoDist, p.geo_mov.distance.value);
    put_angle(r + kRecGeoFixLon, p.geo_fix.longitude);
    put_angle(r + kRecGeoFixLat, p.geo_fix.latitude);
    r[kRecRetrograde] = p.retrograde ? 1 : 0;
}

std::optional<BodyPositions> read_position_record(std::span<const std::uint8_t> bytes, int planet) {
    if (bytes.size() < kPositionRecordSize) return std::nullopt;
    const std::uint8_t* r = bytes.data();
    BodyPositions p;
    auto frame = [&](PlanetPosition& f, std::size_t lon, std::size_t lat) {
        f.index = planet;
        f.longitude = get_angle(r + lon);
        f.latitude = get_angle(r + lat);
    };
    frame(p.helio_mov, kRecHelioMovLon, kRecHelioMovLat);
    p.helio_mov.distance = AngleValue::plain(get_f64(r + kRecHelioMovDist));
    frame(p.helio_fix, kRecHelioFixLon, kRecHelioFixLat);
    p.helio_fix.distance = AngleValue::plain(get_f64(r + kRecHelioFixDist));
    frame(p.geo_mov, kRecGeoMovLon, kRecGeoMovLat);
    p.geo_mov.distance = AngleValue::plain(get_f64(r + kRecGeoDist));
    frame(p.geo_fix, kRecGeoFixLon, kRecGeoFixLat);
    p.geo_fix.distance = p.geo_mov.distance;
    p.retrograde = r[kRecRetrograde] != 0;
    p.geo_mov.retrograde = p.geo_fix.retrograde = p.retrograde ? 1 : 0;
    return p;
}

std::string_view ephemeris_file_name(int type) {
    switch (type) {
        case 0: return "libephlow.so";
        case 1: return "libephbdl.so";
        case 2: return "libephjpl.so";
        default: return {};
    }
}

std::string_view ephemeris_type_name(int type) {
    switch (type) {
        case 0: return "low";
        case 1: return "bdl";
        case 2: return "jpl";
        default: return "unknown";
    }
}

std::optional<int> ephemeris_type_from_name(std::string_view name) {
    for (int type = 0; type < 3; ++type)
        if (name == ephemeris_type_name(type)) return type;
    return std::nullopt;
}

EphemerisLibrary::~EphemerisLibrary() { unload(); }

void EphemerisLibrary::clear() {
    if (m_handle) dlclose(m_handle);
    m_handle = nullptr;
    m_type = -1;
    m_jpl_file.clear();
    m_load = nullptr;
    m_free = nullptr;
    m_compute = nullptr;
    m_get = nullptr;
    m_compute_filter = nullptr;
    m_get_filter = nullptr;
    m_infos = nullptr;
    m_set_node = nullptr;
    m_last_error = nullptr;
    m_valid_range = nullptr;
}

void EphemerisLibrary::unload() {
    if (m_handle && m_free) m_free();
    clear();
}

EphemerisStatus EphemerisLibrary::load(int type, const std::string& jpl_file) {
    const std::string_view file = ephemeris_file_name(type);
    if (file.empty()) {
        unload();
        return {false, str(Str::UnknownEphemerisType)};
    }
    // Only the JPL provider reads a file, so only its file name decides a reload.
    const std::string wanted_jpl = type == 2 ? jpl_file : std::string();
    if (m_handle && m_type == type && m_jpl_file == wanted_jpl) return {};
    unload();

    const std::string path = join_path(library_directory(), std::string(file));
    dlerror();
    m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        const char* why = dlerror();
        return {false, str(Str::LoadLibraryFailedFor) + std::string(file) + ": " + (why ? why : "")};
    }
    m_load = symbol<LoadEphemerisFn>(m_handle, "LoadEphemeris");
    m_free = symbol<FreeEphemerisFn>(m_handle, "FreeEphemeris");
    m_compute = symbol<ComputePositionsFn>(m_handle, "computePositions");
    m_get = symbol<GetPositionFn>(m_handle, "getPosition");
    m_compute_filter = symbol<ComputePositionsFilterFn>(m_handle, "computePositionsFilter");
    m_get_filter = symbol<GetPositionFilterFn>(m_handle, "getPositionFilter");
    m_infos = symbol<GetInfosFn>(m_handle, "getInfos");
    m_set_node = symbol<SetLunarNodeFn>(m_handle, "setLunarNode");
    m_last_error = symbol<GetLastErrorFn>(m_handle, "getLastError");
    m_valid_range = symbol<GetValidRangeFn>(m_handle, "getValidRange");
    if (!m_load || !m_free || !m_compute || !m_get || !m_compute_filter || !m_get_filter) {
        clear();
        return {false, str(Str::CannotFindFunction)};
    }
    const std::u16string jpl16 = utf8_to_utf16(wanted_jpl);
    if (m_load(type == 2 ? jpl16.c_str() : nullptr, 0) == 0) {
        // A provider that failed to load has nothing to free; FreeEphemeris is not called.
        std::string message = with_cause(str(type == 2 ? Str::ErrorLoadingEphjpl : Str::ErrorLoadingEphemerisDll));
        clear();
        return {false, std::move(message)};
    }
    m_type = type;
    m_jpl_file = wanted_jpl;
    if (m_set_node) m_set_node(m_true_node ? 1 : 0);
    return {};
}

EphemerisStatus EphemerisLibrary::compute(double jd_et, double zero_jd_et) {
    if (!m_compute) return {false, str(Str::ComputePositionsNotFound)};
    if (m_compute(jd_et, zero_jd_et) == 0) return {false, with_cause(str(Str::ComputePositionsError))};
    return {};
}

void EphemerisLibrary::set_true_node(bool true_node) {
    if (m_set_node && true_node != m_true_node) m_set_node(true_node ? 1 : 0);
    m_true_node = true_node;
}

EphemerisStatus EphemerisLibrary::compute_filtered(double jd_et, double zero_jd_et, std::string_view filter) {
    if (!m_compute_filter) return {false, str(Str::ComputePositionsNotFound)};
    const std::string f(filter);
    if (m_compute_filter(jd_et, zero_jd_et, f.c_str()) == 0)
        return {false, with_cause(str(Str::ComputePositionsError))};
    return {};
}

std::string EphemerisLibrary::with_cause(std::string message) const {
    if (!m_last_error) return message;
    std::array<char16_t, 1024> buf{};
    m_last_error(buf.data(), static_cast<int>(buf.size()));
    buf.back() = u'\0';
    const std::u16string_view cause(buf.data());
    if (!cause.empty()) message += "\n" + utf16_to_utf8(cause);
    return message;
}

std::optional<BodyPositions> EphemerisLibrary::read(GetPositionFn fn, std::string_view body) const {
    const int planet = planet_of_body(body);
    if (!fn || planet < 0) return std::nullopt;
    PositionRecordBytes record{};
    // body names are short: no allocation for the NUL-terminated copy
    char name[16] = {};
    if (body.size() >= sizeof(name)) return std::nullopt;
    std::memcpy(name, body.data(), body.size());
    if (fn(name, record.data()) == 0) return std::nullopt;
    return read_position_record(record, planet);
}

std::optional<BodyPositions> EphemerisLibrary::position(std::string_view body) const { return read(m_get, body); }

std::optional<BodyPositions> EphemerisLibrary::position_filtered(std::string_view body) const {
    return read(m_get_filter, body);
}

std::array<std::string, 3> EphemerisLibrary::infos() const {
    std::array<std::string, 3> out;
    if (!m_infos) return out;
    std::array<std::array<char16_t, kInfoCapacity>, 3> buf{};
    m_infos(buf[0].data(), kInfoCapacity, buf[1].data(), kInfoCapacity, buf[2].data(), kInfoCapacity);
    for (std::size_t i = 0; i < 3; ++i) {
        buf[i].back() = u'\0';  // a provider that fills the whole buffer still ends here
        std::u16string_view t(buf[i].data());
        if (t.size() > kInfoKept) t = t.substr(0, kInfoKept);
        out[i] = utf16_to_utf8(t);
    }
    return out;
}

std::optional<std::pair<double, double>> EphemerisLibrary::valid_range() const {
    double first = kInfinity, last = kInfinity;
    if (!m_valid_range || !m_valid_range(&first, &last)) return std::nullopt;
    if (!std::isfinite(first) || !std::isfinite(last) || first > last) return std::nullopt;
    return std::pair{first, last};
}

}  // namespace tellurim
