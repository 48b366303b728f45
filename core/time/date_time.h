// Local date and time as days since 1899-12-30 00:00 with the time of day as
// fraction; 0.0 also stands for "no time".
#pragma once

#include <cstdint>

using DateTime = double;

// The DateTime of a calendar date and time of day (proleptic Gregorian calendar).
DateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second);

// The DateTime of a packed date word (year-1980 in bits 9-15, month 5-8, day 0-4)
// and time word (hour 11-15, minute 5-10, seconds/2 in 0-4).
DateTime DosDateTimeToDateTime(std::uint16_t dosDate, std::uint16_t dosTime);
