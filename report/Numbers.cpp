#include "report/Numbers.h"

namespace report {

std::string Hex8(std::uint32_t value)
{
    std::string digits(8, '0');
    for (int i = 7; i >= 0; --i) {
        digits[i] = HexDigit(value);
        value >>= 4;
    }
    return digits;
}

std::string UtcTime(std::int64_t seconds)
{
    // Days to a civil date (proleptic Gregorian), after H. Hinnant's days_from_civil inverse.
    std::int64_t days = seconds / 86400, rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shifted = (5 * dayOfYear + 2) / 153;
    const std::int64_t day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    const std::int64_t month = shifted < 10 ? shifted + 3 : shifted - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    const auto two = [](std::int64_t n) { return (n < 10 ? "0" : "") + Decimal(n); };
    return Decimal(year) + "-" + two(month) + "-" + two(day) + " " + two(rest / 3600) + ":" + two(rest / 60 % 60) +
           " UTC";
}

} // namespace report
