#include "core/time/date_time.h"

#include <gtest/gtest.h>

TEST(DateTime, CountsDaysSinceDecember30Of1899) {
  EXPECT_EQ(EncodeDateTime(1899, 12, 30, 0, 0, 0), 0.0);
  EXPECT_EQ(EncodeDateTime(1900, 1, 1, 0, 0, 0), 2.0);
  EXPECT_EQ(EncodeDateTime(1900, 3, 1, 0, 0, 0), 61.0); // 1900 is no leap year
  EXPECT_EQ(EncodeDateTime(1980, 1, 1, 0, 0, 0), 29221.0);
  EXPECT_EQ(EncodeDateTime(2000, 1, 1, 12, 0, 0), 36526.5);
  EXPECT_EQ(EncodeDateTime(2000, 3, 1, 6, 0, 0), 36586.25); // 2000 is a leap year
}

TEST(DateTime, UnpacksDosDateAndTimeWords) {
  // 2024-05-17 13:45:58: date (44 << 9) | (5 << 5) | 17, time (13 << 11) | (45 << 5) | 29.
  std::uint16_t date = (44 << 9) | (5 << 5) | 17;
  std::uint16_t time = (13 << 11) | (45 << 5) | 29;
  EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(date, time), EncodeDateTime(2024, 5, 17, 13, 45, 58));
  EXPECT_EQ(DosDateTimeToDateTime((1 << 5) | 1, 0), EncodeDateTime(1980, 1, 1, 0, 0, 0));
  EXPECT_DOUBLE_EQ(DosDateTimeToDateTime((127 << 9) | (12 << 5) | 31, (23 << 11) | (59 << 5) | 29),
                   EncodeDateTime(2107, 12, 31, 23, 59, 58));
}
