#include "core/time/date_time.h"

namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

} // namespace

DateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second) {
  static const std::int64_t epoch = DaysFromCivil(1899, 12, 30);
  const double days = static_cast<double>(DaysFromCivil(year, month, day) - epoch);
  return days + (hour * 3600 + minute * 60 + second) / 86400.0;
}

DateTime DosDateTimeToDateTime(std::uint16_t dosDate, std::uint16_t dosTime) {
  return EncodeDateTime(1980 + (dosDate >> 9), (dosDate >> 5) & 0xF, dosDate & 0x1F, dosTime >> 11,
                        (dosTime >> 5) & 0x3F, (dosTime & 0x1F) * 2);
}
