// "My city" check at start-up against the system's time-zone state.
#include <gtest/gtest.h>

#include "files/my_city.h"

namespace tellurim {
namespace {

TEST(MyCityCheck, RecomputesWhenTheStateChanged) {
    struct CheckCase { const char* label; std::int32_t stored_state; double stored_correction; SystemTimeZone now;
                       bool changed; double correction /* after the check */; };
    const CheckCase cases[] = {
        {"winter to summer in New York", kTzStandard, 5.0, {kTzDaylight, -4 * 3600}, true, 4.0},
        {"summer to winter in Paris", kTzDaylight, -2.0, {kTzStandard, 3600}, true, -1.0},
        {"first run, state unknown", kTzUnknown, 0.0, {kTzStandard, 19800}, true, -5.5},
        {"unchanged keeps the user's correction", kTzStandard, 4.75, {kTzStandard, -5 * 3600}, false, 4.75},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        MyCity city = default_my_city();
        city.tz_state = c.stored_state;
        city.correction_hours = c.stored_correction;
        RecordingMessages messages;
        EXPECT_EQ(check_my_city(city, c.now, messages), c.changed);
        EXPECT_DOUBLE_EQ(city.correction_hours, c.correction);
        EXPECT_EQ(city.tz_state, c.changed ? c.now.state : c.stored_state);
        EXPECT_EQ(city.place.city, "Washington");
        if (!c.changed) {
            EXPECT_TRUE(messages.messages.empty());
            continue;
        }
        EXPECT_EQ(messages.messages, (std::vector<Message>{{"Official time has changed. Check in menu [Options][My city...] "
                                                            "correction local time -> U.T. hour",
                                                            "Warning", MessageIcon::Information}}));
    }
}

}  // namespace
}  // namespace tellurim
