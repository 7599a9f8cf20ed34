#pragma once
// The C interface of an ephemeris provider (libephlow.so, libephbdl.so, libephjpl.so).
//
// The program loads a provider at run time by file name and looks up these entry points by
// name, so their names and argument lists are fixed; everything behind them is the
// provider's own. Every function returning int returns nonzero on success. A provider keeps
// its state behind these functions: one computePositions fills it, the getPosition calls
// that follow read it. Calls are not reentrant; the program makes them from one thread at
// a time.
//
// PositionRecord: kPositionRecordSize bytes, little-endian, written field by field.
//   0 helio movable longitude AngleValue(24) | 24 latitude AngleValue | 48 distance f64 (AU)
//   112 helio fixed longitude AngleValue    | 136 latitude AngleValue | 160 distance f64 (AU)
//   256 geo movable longitude AngleValue    | 280 latitude AngleValue
//   304 geo distance f64 (AU)
//   312 geo fixed longitude AngleValue      | 336 latitude AngleValue
//   360 retrograde u8 (1: the apparent geocentric longitude decreases)
// Bytes not listed are the provider's own (the low-precision provider writes zeros there).
// AngleValue: 0 kind i32 | 4 pad | 8 value f64 | 16 unit i32 | 20 format i32 (base/angle_value.h).

#include <cstddef>

namespace tellurim {

inline constexpr std::size_t kPositionRecordSize = 384;
inline constexpr std::size_t kRecHelioMovLon = 0;
inline constexpr std::size_t kRecHelioMovLat = 24;
inline constexpr std::size_t kRecHelioMovDist = 48;
inline constexpr std::size_t kRecHelioFixLon = 112;
inline constexpr std::size_t kRecHelioFixLat = 136;
inline constexpr std::size_t kRecHelioFixDist = 160;
inline constexpr std::size_t kRecGeoMovLon = 256;
inline constexpr std::size_t kRecGeoMovLat = 280;
inline constexpr std::size_t kRecGeoDist = 304;
inline constexpr std::size_t kRecGeoFixLon = 312;
inline constexpr std::size_t kRecGeoFixLat = 336;
inline constexpr std::size_t kRecRetrograde = 360;

// Capacity, in UTF-16 units with the terminating NUL, of each getInfos buffer.
inline constexpr int kInfoCapacity = 300;
// The program keeps at most this many UTF-16 units of each getInfos text (the options
// dialog's fields): a provider writes texts that fit, so that none is cut mid-word.
inline constexpr std::size_t kInfoKept = 260;

// Body names accepted by getPosition and in a body filter (a ';'-separated list of them).
inline constexpr const char* kBodyNames = "SUN;MOON;MERCURY;VENUS;MARS;JUPITER;SATURN;RAHU;KETHU;URANUS;NEPTUNE;PLUTO";

}  // namespace tellurim

extern "C" {
// Prepares the provider. jpl_path: the JPL binary file for the JPL provider, else null;
// reserved: 0.
typedef int (*LoadEphemerisFn)(const char16_t* jpl_path, int reserved);
typedef void (*FreeEphemerisFn)();
// All bodies for the chart instant jd_et and the fixed zodiac of zero_jd_et (both Julian
// days, ephemeris time).
typedef int (*ComputePositionsFn)(double jd_et, double zero_jd_et);
// The record of one body from the last computePositions; record: kPositionRecordSize bytes.
typedef int (*GetPositionFn)(const char* body, unsigned char* record);
// As computePositions, for the bodies of `filter` only ("SUN", "SUN;MOON").
typedef int (*ComputePositionsFilterFn)(double jd_et, double zero_jd_et, const char* filter);
typedef int (*GetPositionFilterFn)(const char* body, unsigned char* record);
// Three descriptive texts (name and version; theory and sources; validity and accuracy),
// each NUL-terminated within its capacity.
typedef void (*GetInfosFn)(char16_t* name, int name_capacity, char16_t* theory, int theory_capacity,
                           char16_t* validity, int validity_capacity);
// Optional: which lunar node RAHU and KETHU follow from the next compute on: 0 the mean
// node (the default after LoadEphemeris), 1 the true node of the Moon's osculating orbit.
typedef void (*SetLunarNodeFn)(int true_node);
// Optional: after a failed LoadEphemeris or compute, why it failed (a file and the
// system's reason, a date outside the data's span), NUL-terminated; empty when unknown.
typedef void (*GetLastErrorFn)(char16_t* text, int capacity);
// Optional: the span of Julian days ET over which the provider states that its positions
// hold (the range its validity text describes); nonzero when it states one. Outside it the
// provider still computes, but what it gives may be meaningless.
typedef int (*GetValidRangeFn)(double* first_jd_et, double* last_jd_et);

int LoadEphemeris(const char16_t* jpl_path, int reserved);
void FreeEphemeris();
int computePositions(double jd_et, double zero_jd_et);
int getPosition(const char* body, unsigned char* record);
int computePositionsFilter(double jd_et, double zero_jd_et, const char* filter);
int getPositionFilter(const char* body, unsigned char* record);
void getInfos(char16_t* name, int name_capacity, char16_t* theory, int theory_capacity, char16_t* validity,
              int validity_capacity);
void setLunarNode(int true_node);
void getLastError(char16_t* text, int capacity);
int getValidRange(double* first_jd_et, double* last_jd_et);
}
