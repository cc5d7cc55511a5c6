#include "editor/DateStamp.h"

#include <cstdio>
#include <ctime>

namespace datestamp {
namespace {

// Which values a format receives, in order.
enum class Fields { YMD, MD, YMDHM, MDHM, YMDHMS };

struct DateFormat {
    const char* format;
    Fields fields;
};

// Minutes and seconds under plain "%d" stay unpadded (8:4 for 08:04) on purpose.
const DateFormat FORMATS[DATE_FORMAT_COUNT] = {
    {"%d/%02d/%02d", Fields::YMD},
    {"%d/%d/%d", Fields::YMD},
    {"%02d/%02d", Fields::MD},
    {"%d/%d", Fields::MD},
    {"%d年%02d月%02d日", Fields::YMD},
    {"%d年%d月%d日", Fields::YMD},
    {"%02d月%02d日", Fields::MD},
    {"%d月%d日", Fields::MD},
    {"%d/%02d/%02d %02d:%02d", Fields::YMDHM},
    {"%d/%d/%d %d:%d", Fields::YMDHM},
    {"%02d/%02d %02d:%02d", Fields::MDHM},
    {"%d/%d %d:%d", Fields::MDHM},
    {"%d年%02d月%02d日 %02d時%02d分", Fields::YMDHM},
    {"%d年%d月%d日 %d時%d分", Fields::YMDHM},
    {"%02d月%02d日 %02d時%02d分", Fields::MDHM},
    {"%d月%d日 %d時%d分", Fields::MDHM},
    {"%d年%d月%d日 %d時%d分%d秒", Fields::YMDHMS},
    {"%04d%02d%02d%02d%02d%02d", Fields::YMDHMS},
    {"%04d%02d%02d", Fields::YMD},
    {"%02d%02d", Fields::MD},
};

// snprintf with a format picked at run time from the table above.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
int formatInto(char* out, size_t size, const DateFormat& f, const StampTime& t) {
    switch (f.fields) {
        case Fields::YMD:
            return std::snprintf(out, size, f.format, t.year, t.month, t.day);
        case Fields::MD:
            return std::snprintf(out, size, f.format, t.month, t.day);
        case Fields::YMDHM:
            return std::snprintf(out, size, f.format, t.year, t.month, t.day, t.hour, t.minute);
        case Fields::MDHM:
            return std::snprintf(out, size, f.format, t.month, t.day, t.hour, t.minute);
        case Fields::YMDHMS:
            return std::snprintf(out, size, f.format, t.year, t.month, t.day, t.hour, t.minute, t.second);
    }
    return -1;
}
#pragma GCC diagnostic pop

}  // namespace

std::string FormatDateStamp(int index, const StampTime& time) {
    if (index < 0 || index >= DATE_FORMAT_COUNT) return std::string();
    char out[DATE_STAMP_CAPACITY];
    int n = formatInto(out, sizeof out, FORMATS[index], time);
    if (n < 0) return std::string();
    return std::string(out, static_cast<size_t>(n) < sizeof out ? n : sizeof out - 1);
}

StampTime StampTimeOf(const std::tm& local) {
    StampTime t;
    t.year = local.tm_year + 1900;
    t.month = local.tm_mon + 1;
    t.day = local.tm_mday;
    t.hour = local.tm_hour;
    t.minute = local.tm_min;
    t.second = local.tm_sec;
    return t;
}

StampTime CurrentLocalTime() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return StampTimeOf(local);
}

std::string CurrentDateStamp(int index) { return FormatDateStamp(index, CurrentLocalTime()); }

}  // namespace datestamp
