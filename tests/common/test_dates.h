#pragma once
// A date-hour from its storage text, for tests: the text must parse.

#include <gtest/gtest.h>

#include <string_view>

#include "base/date_hour.h"

namespace tellurim {

inline DateHour test_date(std::string_view text) {
    DateParse p = parse_date_hour(text);
    EXPECT_TRUE(p.ok) << text << ": " << p.message;
    return p.value;
}

}  // namespace tellurim
