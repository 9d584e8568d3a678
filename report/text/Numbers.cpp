#include "report/text/Numbers.h"

#include <algorithm>
#include <charconv>

namespace report {

std::string_view Hex8(std::uint32_t value, char (&digits)[8])
{
    char hex[8];
    char* const end = std::to_chars(hex, hex + sizeof(hex), value, 16).ptr;
    char* const first = std::fill_n(digits, sizeof(hex) - static_cast<std::size_t>(end - hex), '0');
    std::transform(hex, end, first, [](char c) { return c >= 'a' ? static_cast<char>(c - 'a' + 'A') : c; });
    return {digits, sizeof(digits)};
}

std::string Hex8(std::uint32_t value)
{
    char digits[8];
    return std::string(Hex8(value, digits));
}

std::string HexDigits(std::uint32_t value)
{
    char digits[8];
    return std::string(digits, std::to_chars(digits, digits + sizeof(digits), value, 16).ptr);
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
