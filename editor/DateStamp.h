#pragma once
// Date stamps: the current local date (or date and time) in one of twenty
// fixed formats. Format 17 is the compact all-digit stamp used in file names.
#include <ctime>
#include <string>

namespace datestamp {

// A broken-down local time: month 1..12, four-digit year.
struct StampTime {
    int year = 0;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

constexpr int DATE_FORMAT_COUNT = 20;
constexpr int DATE_FORMAT_FILE_STAMP = 17;  // "%04d%02d%02d%02d%02d%02d"
constexpr int DATE_STAMP_CAPACITY = 256;    // buffer the editor inserts from

// The stamp of `time` in format `index` (CP932 bytes); the empty string for
// an index outside 0..19.
std::string FormatDateStamp(int index, const StampTime& time);

// The calendar fields of a broken-down C library time.
StampTime StampTimeOf(const std::tm& local);

// The local time now, as the C library reports it.
StampTime CurrentLocalTime();

// FormatDateStamp with the local time now.
std::string CurrentDateStamp(int index);

}  // namespace datestamp
