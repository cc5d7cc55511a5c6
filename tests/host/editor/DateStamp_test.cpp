#include "editor/DateStamp.h"

#include <gtest/gtest.h>

#include <string>

using datestamp::FormatDateStamp;
using datestamp::StampTime;

namespace {

StampTime at(int y, int mo, int d, int h, int mi, int s) {
    StampTime t;
    t.year = y;
    t.month = mo;
    t.day = d;
    t.hour = h;
    t.minute = mi;
    t.second = s;
    return t;
}

const StampTime SAMPLE = at(2017, 1, 1, 12, 30, 59);  // what the settings dialog shows
const StampTime MORNING = at(2019, 3, 5, 8, 4, 9);

struct Example {
    int index;
    const char* sample;
    const char* morning;
};

const Example EXAMPLES[] = {
    {0, "2017/01/01", "2019/03/05"},
    {1, "2017/1/1", "2019/3/5"},
    {2, "01/01", "03/05"},
    {3, "1/1", "3/5"},
    {4, "2017年01月01日", "2019年03月05日"},
    {5, "2017年1月1日", "2019年3月5日"},
    {6, "01月01日", "03月05日"},
    {7, "1月1日", "3月5日"},
    {8, "2017/01/01 12:30", "2019/03/05 08:04"},
    {9, "2017/1/1 12:30", "2019/3/5 8:4"},
    {10, "01/01 12:30", "03/05 08:04"},
    {11, "1/1 12:30", "3/5 8:4"},
    {12, "2017年01月01日 12時30分", "2019年03月05日 08時04分"},
    {13, "2017年1月1日 12時30分", "2019年3月5日 8時4分"},
    {14, "01月01日 12時30分", "03月05日 08時04分"},
    {15, "1月1日 12時30分", "3月5日 8時4分"},
    {16, "2017年1月1日 12時30分59秒", "2019年3月5日 8時4分9秒"},
    {17, "20170101123059", "20190305080409"},
    {18, "20170101", "20190305"},
    {19, "0101", "0305"},
};

TEST(DateStamp, EveryFormatMatchesItsExamples) {
    ASSERT_EQ(sizeof EXAMPLES / sizeof EXAMPLES[0], size_t(datestamp::DATE_FORMAT_COUNT));
    for (const Example& e : EXAMPLES) {
        EXPECT_EQ(e.sample, FormatDateStamp(e.index, SAMPLE)) << "index " << e.index;
        EXPECT_EQ(e.morning, FormatDateStamp(e.index, MORNING)) << "index " << e.index;
    }
}

TEST(DateStamp, JapaneseUnitsAreCp932Bytes) {
    // 年 94 4E, 月 8C 8E, 日 93 FA, 時 8E 9E, 分 95 AA, 秒 95 62
    EXPECT_EQ(
        "2017\x94\x4E"
        "1\x8C\x8E"
        "1\x93\xFA"
        " 12\x8E\x9E"
        "30\x95\xAA"
        "59\x95\x62",
        FormatDateStamp(16, SAMPLE));
    // the longest stamp of a four-digit year
    EXPECT_EQ(27u, FormatDateStamp(16, at(2017, 12, 31, 23, 59, 59)).size());
}

TEST(DateStamp, MidnightUsesHourZero) {
    StampTime midnight = at(2020, 12, 31, 0, 0, 0);
    EXPECT_EQ("2020年12月31日 00時00分", FormatDateStamp(12, midnight));
    EXPECT_EQ("2020年12月31日 0時0分", FormatDateStamp(13, midnight));
    EXPECT_EQ("20201231000000", FormatDateStamp(17, midnight));
}

TEST(DateStamp, IndexOutsideTheTableGivesEmptyText) {
    EXPECT_EQ("", FormatDateStamp(20, SAMPLE));
    EXPECT_EQ("", FormatDateStamp(-1, SAMPLE));
    EXPECT_EQ("", FormatDateStamp(65535, SAMPLE));
}

TEST(DateStamp, CurrentStampLiesBetweenTheTimesAroundIt) {
    // Format 17 sorts like the time it stands for.
    std::string before = FormatDateStamp(17, datestamp::CurrentLocalTime());
    std::string now = datestamp::CurrentDateStamp(17);
    std::string after = FormatDateStamp(17, datestamp::CurrentLocalTime());
    ASSERT_EQ(14u, now.size());
    EXPECT_LE(before, now);
    EXPECT_LE(now, after);
    EXPECT_EQ("", datestamp::CurrentDateStamp(20));
}

}  // namespace
