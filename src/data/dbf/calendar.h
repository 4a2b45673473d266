#pragma once
// The calendar of dBASE dates: which dates a date field can hold, and the Gregorian date of a
// Julian day number (as Visual FoxPro date-times and dBASE 7 time stamps count days).

#include <cstdint>

#include "data/value.h"

namespace data::dbf {

// A Gregorian date of the years 1 to 9999 (what the eight digits of a date field can hold).
bool validDate(int year, int month, int day);
inline bool validDate(const Date& d) {
  return validDate(d.year, d.month, d.day);
}

Date fromJulianDay(int64_t julianDay);

}  // namespace data::dbf
