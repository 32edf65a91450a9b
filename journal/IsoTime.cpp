#include "journal/IsoTime.h"

#include <charconv>
#include <cstdio>
#include <ctime>

namespace tonvik {
namespace {

constexpr size_t IsoLength = 24; // "YYYY-MM-DDTHH:MM:SS.mmmZ"

bool ReadNumber(std::string_view text, size_t at, size_t width, int& value) {
    const char* begin = text.data() + at;
    const auto [end, error] = std::from_chars(begin, begin + width, value);
    return error == std::errc() && end == begin + width;
}

} // namespace

std::string FormatIsoTime(JournalTime time) {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(time.time_since_epoch()).count();
    std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    int millis = static_cast<int>(ms % 1000);
    if (millis < 0) { // before 1970: floor, not truncation
        millis += 1000;
        --seconds;
    }
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, millis);
    return text;
}

std::optional<JournalTime> ParseIsoTime(std::string_view text) {
    if (text.size() != IsoLength || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || text[19] != '.' || text[23] != 'Z')
        return std::nullopt;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millis = 0;
    if (!ReadNumber(text, 0, 4, year) || !ReadNumber(text, 5, 2, month) ||
        !ReadNumber(text, 8, 2, day) || !ReadNumber(text, 11, 2, hour) ||
        !ReadNumber(text, 14, 2, minute) || !ReadNumber(text, 17, 2, second) ||
        !ReadNumber(text, 20, 3, millis))
        return std::nullopt;
    std::tm utc{};
    utc.tm_year = year - 1900;
    utc.tm_mon = month - 1;
    utc.tm_mday = day;
    utc.tm_hour = hour;
    utc.tm_min = minute;
    utc.tm_sec = second;
    const std::time_t seconds = timegm(&utc);
    return JournalTime(std::chrono::seconds(seconds) + std::chrono::milliseconds(millis));
}

std::string ShortIsoTime(std::string_view text) {
    if (text.size() != IsoLength)
        return std::string(text);
    std::string shortened(text.substr(0, 16));
    shortened[10] = ' ';
    return shortened;
}

} // namespace tonvik
