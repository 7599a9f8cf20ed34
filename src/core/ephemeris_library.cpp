#include "core/ephemeris_library.h"

#include <dlfcn.h>

#include <cstring>
#include <vector>

#include "core/paths.h"
#include "core/strings.h"
#include "core/text.h"

namespace tellurim {
namespace {

// The texts of getInfos are kept to this many UTF-16 units, as the options dialog shows them.
constexpr std::size_t kInfoKept = 260;

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

void write_frame(ByteWriter& out, std::size_t offset, const PlanetPosition& p) {
    out.pad_to(offset);
    write_angle(out, p.longitude);
    write_angle(out, p.latitude);
}

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

void write_position_record(ByteWriter& out, const BodyPositions& p) {
    const std::size_t start = out.size();
    auto at = [&](std::size_t offset) { out.pad_to(start + offset); };
    at(kRecHelioMovLon);
    write_frame(out, start + kRecHelioMovLon, p.helio_mov);
    write_angle(out, p.helio_mov.distance);
    at(kRecHelioFixLon);
    write_frame(out, start + kRecHelioFixLon, p.helio_fix);
    write_angle(out, p.helio_fix.distance);
    write_frame(out, start + kRecGeoMovLon, p.geo_mov);
    at(kRecGeoDist);
    out.f64(p.geo_mov.distance.value);
    write_frame(out, start + kRecGeoFixLon, p.geo_fix);
    at(kRecRetrograde);
    out.u8(p.retrograde ? 1 : 0);
    at(kPositionRecordSize);
}

std::optional<BodyPositions> read_position_record(std::span<const std::uint8_t> bytes, int planet) {
    if (bytes.size() < kPositionRecordSize) return std::nullopt;
    ByteReader in(bytes.first(kPositionRecordSize));
    BodyPositions p;
    auto frame = [&](std::size_t offset, PlanetPosition& f) {
        in.seek(offset);
        f.index = planet;
        f.longitude = read_angle(in);
        f.latitude = read_angle(in);
    };
    frame(kRecHelioMovLon, p.helio_mov);
    p.helio_mov.distance = read_angle(in);
    frame(kRecHelioFixLon, p.helio_fix);
    p.helio_fix.distance = read_angle(in);
    frame(kRecGeoMovLon, p.geo_mov);
    in.seek(kRecGeoDist);
    p.geo_mov.distance = AngleValue::plain(in.f64());
    frame(kRecGeoFixLon, p.geo_fix);
    p.geo_fix.distance = p.geo_mov.distance;
    in.seek(kRecRetrograde);
    p.retrograde = in.u8() != 0;
    p.geo_mov.retrograde = p.geo_fix.retrograde = p.retrograde ? 1 : 0;
    if (!in.ok()) return std::nullopt;
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
    if (!m_load || !m_free || !m_compute || !m_get || !m_compute_filter || !m_get_filter) {
        clear();
        return {false, str(Str::CannotFindFunction)};
    }
    const std::u16string jpl16 = utf8_to_utf16(wanted_jpl);
    if (m_load(type == 2 ? jpl16.c_str() : nullptr, 0) == 0) {
        // A provider that failed to load has nothing to free; FreeEphemeris is not called.
        clear();
        return {false, str(type == 2 ? Str::ErrorLoadingEphjpl : Str::ErrorLoadingEphemerisDll)};
    }
    m_type = type;
    m_jpl_file = wanted_jpl;
    return {};
}

EphemerisStatus EphemerisLibrary::compute(double jd_et, double zero_jd_et) {
    if (!m_compute) return {false, str(Str::ComputePositionsNotFound)};
    if (m_compute(jd_et, zero_jd_et) == 0) return {false, str(Str::ComputePositionsError)};
    return {};
}

EphemerisStatus EphemerisLibrary::compute_filtered(double jd_et, double zero_jd_et, std::string_view filter) {
    if (!m_compute_filter) return {false, str(Str::ComputePositionsNotFound)};
    const std::string f(filter);
    if (m_compute_filter(jd_et, zero_jd_et, f.c_str()) == 0) return {false, str(Str::ComputePositionsError)};
    return {};
}

std::optional<BodyPositions> EphemerisLibrary::read(GetPositionFn fn, std::string_view body) const {
    const int planet = planet_of_body(body);
    if (!fn || planet < 0) return std::nullopt;
    std::vector<std::uint8_t> record(kPositionRecordSize, 0);
    const std::string name(body);
    if (fn(name.c_str(), record.data()) == 0) return std::nullopt;
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

}  // namespace tellurim
