// tellurim calc date and calc angle: outputs, JSON keys and refusals.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli_run.h"

namespace tellurim {
namespace {

using testing_cli::run;

TEST(CliDate, CalendarReformInJson) {
    struct Row { const char* input; const char* calendar; double jd_ut; int weekday; } rows[] = {
        {"1582-10-04 12:00:00", "julian", 2299160.0, 4},     // Thursday 4 October 1582
        {"1582-10-15 12:00:00", "gregorian", 2299161.0, 5},  // the next day, Friday 15 October
        // Written "2000-01-01 00:00:00.00 GD": the weekday is that Saturday's.
        {"1999-12-31 23:59:59.999 GD", "gregorian", 2451544.5 - 0.001 / 86400, 6},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.input);
        auto out = run({"calc", "date", r.input, "--json"});
        ASSERT_EQ(out.code, kExitOk);
        auto j = nlohmann::json::parse(out.out);
        EXPECT_EQ(j["calendar"], r.calendar);
        EXPECT_NEAR(j["jd_ut"].get<double>(), r.jd_ut, 1e-8);
        EXPECT_EQ(j["weekday"], r.weekday);
        EXPECT_GT(j["jd_et"].get<double>(), r.jd_ut);
        EXPECT_TRUE(j["warnings"].empty());
        for (const char* key : {"text", "delta_t_seconds"}) EXPECT_TRUE(j.contains(key)) << key;
    }
}

TEST(CliDate, WarningsAndRefusals) {
    auto ok = run({"calc", "date", "2000-01-01", "--json"});
    ASSERT_EQ(ok.code, kExitOk);
    EXPECT_EQ(nlohmann::json::parse(ok.out)["warnings"].size(), 1u);
    // A day its month does not have is read on into the next month, with a warning.
    auto no_day = run({"calc", "date", "2023-02-31 12:00:00", "--json"});
    ASSERT_EQ(no_day.code, kExitOk);
    auto j = nlohmann::json::parse(no_day.out);
    EXPECT_EQ(j["warnings"], nlohmann::json::array({"warning: the month has no such day; its Julian day is that of a day of the next month"}));
    EXPECT_EQ(j["weekday"], 5);  // 3 March 2023 was a Friday

    struct Row {
        const char* input;
        const char* message;
    } rows[] = {{"2000-13-01", "out of range month"}, {"2000-01-01 00:00:00:00", "bad token count"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.input);
        auto bad = run({"calc", "date", r.input});
        EXPECT_EQ(bad.code, kExitBadInput);
        ASSERT_EQ(bad.messages.size(), 1u);
        EXPECT_EQ(bad.messages[0].text, r.message);
        EXPECT_EQ(bad.messages[0].caption, "Bad input");
    }
}

TEST(CliAngle, JsonAndRefusal) {
    auto out = run({"calc", "angle", "05h08'08.00\" W", "--json"});
    ASSERT_EQ(out.code, kExitOk);
    auto j = nlohmann::json::parse(out.out);
    EXPECT_EQ(j["unit"], "hours");
    EXPECT_EQ(j["format"], 1);
    EXPECT_NEAR(j["value"].get<double>(), -5.135555555555556, 1e-12);
    EXPECT_EQ(j["text"], "5h08'08.00\"W");
    EXPECT_EQ(run({"calc", "angle", "200d00'00\"E"}).code, kExitBadInput);
}

}  // namespace
}  // namespace tellurim
