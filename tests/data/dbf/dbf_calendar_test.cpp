#include <gtest/gtest.h>

#include "data/dbf/calendar.h"

namespace {

using data::Date;

// The dates an eight-digit date field may hold: leap years by the Gregorian rule, month lengths,
// and the years four digits can write.
TEST(DbfCalendar, validDate_followsTheGregorianCalendar) {
  struct Case {
    Date date;
    bool valid;
  };
  for (const auto& [d, valid] :
       {Case{{2024, 2, 29}, true}, Case{{2023, 2, 29}, false}, Case{{1900, 2, 29}, false},
        Case{{2000, 2, 29}, true}, Case{{2024, 4, 30}, true}, Case{{2024, 4, 31}, false},
        Case{{2024, 12, 31}, true}, Case{{2024, 1, 32}, false}, Case{{2024, 13, 1}, false},
        Case{{2024, 0, 1}, false}, Case{{2024, 1, 0}, false}, Case{{0, 1, 1}, false},
        Case{{9999, 12, 31}, true}, Case{{10000, 1, 1}, false}})
    EXPECT_EQ(data::dbf::validDate(d), valid) << d.year << "-" << d.month << "-" << d.day;
}

// Julian day numbers as Visual FoxPro date-times and dBASE 7 time stamps count them.
TEST(DbfCalendar, fromJulianDay_givesTheGregorianDate) {
  EXPECT_EQ(data::dbf::fromJulianDay(2440588), (Date{1970, 1, 1}));
  EXPECT_EQ(data::dbf::fromJulianDay(2451604), (Date{2000, 2, 29}));
  EXPECT_EQ(data::dbf::fromJulianDay(2460646), (Date{2024, 12, 1}));
}

}  // namespace
