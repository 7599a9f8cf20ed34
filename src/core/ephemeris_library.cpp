#include "core/ephemeris_library.h"

#include <dlfcn.h>

#include <cmath>
#include <cstring>

#include "core/paths.h"
#include "base/strings.h"
#include "base/text.h"

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

}  // namespace

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
