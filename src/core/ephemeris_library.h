#pragma once
// EphemerisLibrary: the ephemeris provider loaded at run time (libephlow.so, libephbdl.so or
// libephjpl.so from library_directory()), its entry points, and the decoding of the
// PositionRecord it fills (layout in ephemeris/ephemeris_abi.h).
//
// Failures are results carrying the exact message text; the caller decides how to show it.
// Not thread-safe: one thread at a time uses a loaded library (the ephemeris worker while
// the user-interface thread waits for it).

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "base/position_record.h"
#include "ephemeris/ephemeris_abi.h"

namespace tellurim {

struct [[nodiscard]] EphemerisStatus {
    bool ok = true;
    std::string message;  // empty on success
    explicit operator bool() const { return ok; }
};

// File name of the provider of an ephemeris type (0 low, 1 bdl, 2 jpl); "" for another type.
std::string_view ephemeris_file_name(int type);
// Short name of an ephemeris type as the command line spells it: "low", "bdl", "jpl";
// "unknown" for another type.
std::string_view ephemeris_type_name(int type);
// The type of a short name, or nullopt.
std::optional<int> ephemeris_type_from_name(std::string_view name);

class EphemerisLibrary {
public:
    EphemerisLibrary() = default;
    ~EphemerisLibrary();
    EphemerisLibrary(const EphemerisLibrary&) = delete;
    EphemerisLibrary& operator=(const EphemerisLibrary&) = delete;

    // Loads the provider of `type` (the JPL provider with `jpl_file`). A provider that fails
    // to load and says why adds its reason on a second line of the message. Nothing happens when
    // that same provider and file are loaded already; otherwise the loaded one is freed
    // first. On failure nothing stays loaded and the next call tries again.
    EphemerisStatus load(int type, const std::string& jpl_file = {});
    // Frees the provider (FreeEphemeris, then the shared library).
    void unload();
    bool is_loaded() const { return m_handle != nullptr; }
    int type() const { return m_type; }

    // All bodies for the instant jd_et, fixed zodiac of zero_jd_et (Julian days ET). A failure's
    // message is the system's text, then the provider's cause on a second line when it
    // gives one (getLastError), as for load().
    EphemerisStatus compute(double jd_et, double zero_jd_et);
    // One body of the last compute; nullopt when the provider has no such body or fails.
    std::optional<BodyPositions> position(std::string_view body) const;
    // The bodies of `filter` ("SUN;MOON") only; read them with position_filtered.
    EphemerisStatus compute_filtered(double jd_et, double zero_jd_et, std::string_view filter);
    std::optional<BodyPositions> position_filtered(std::string_view body) const;
    // The provider's three texts (name and version, theory, validity), each at most 260
    // UTF-16 units; empty texts when the provider has no getInfos.
    std::array<std::string, 3> infos() const;
    // RAHU and KETHU: the true (osculating) lunar node rather than the mean one, from the
    // next compute on; kept across reloads. A provider without the choice keeps its own.
    void set_true_node(bool true_node);
    // The provider's stated span of Julian days ET (first, last); nullopt when none is loaded or
    // it states none.
    std::optional<std::pair<double, double>> valid_range() const;
    bool true_node() const { return m_true_node; }

private:
    void clear();
    std::optional<BodyPositions> read(GetPositionFn fn, std::string_view body) const;
    // `message`, followed on a second line by the provider's own cause when it gives one.
    std::string with_cause(std::string message) const;

    void* m_handle = nullptr;
    int m_type = -1;
    std::string m_jpl_file;
    LoadEphemerisFn m_load = nullptr;
    FreeEphemerisFn m_free = nullptr;
    ComputePositionsFn m_compute = nullptr;
    GetPositionFn m_get = nullptr;
    ComputePositionsFilterFn m_compute_filter = nullptr;
    GetPositionFilterFn m_get_filter = nullptr;
    GetInfosFn m_infos = nullptr;
    SetLunarNodeFn m_set_node = nullptr;
    GetLastErrorFn m_last_error = nullptr;
    GetValidRangeFn m_valid_range = nullptr;
    bool m_true_node = false;
};

}  // namespace tellurim
