// A fake ephemeris provider for the loader's failure tests. Which failure it shows is
// chosen at build time (FAKE_...).
#include <cstddef>

#define EXPORT extern "C" __attribute__((visibility("default")))

EXPORT int LoadEphemeris(const char16_t* jpl_path, int reserved) {
    (void)jpl_path;
    (void)reserved;
#if defined(FAKE_BDL_LOAD_FAILS) || defined(FAKE_JPL_LOAD_FAILS)
    return 0;
#else
    return 1;
#endif
}
EXPORT void FreeEphemeris() {}
EXPORT int computePositions(double jd_et, double zero_jd_et) {
    (void)jd_et;
    (void)zero_jd_et;
    return 0;
}
EXPORT int getPosition(const char* body, unsigned char* record) {
    (void)body;
    (void)record;
    return 0;
}
EXPORT int computePositionsFilter(double jd_et, double zero_jd_et, const char* filter) {
    (void)jd_et;
    (void)zero_jd_et;
    (void)filter;
    return 0;
}
#ifndef FAKE_LOW_INCOMPLETE
EXPORT int getPositionFilter(const char* body, unsigned char* record) {
    (void)body;
    (void)record;
    return 0;
}
#endif
