// Durations and clock readings as scripts write them, and the way messages print them.
#include "scenario_time.h"

#include <gtest/gtest.h>

using namespace panel::scenario;

TEST(ScenarioTime, ReadsDurationsWithUnitsLargestFirst) {
    EXPECT_EQ(parse_duration("5s"), 5.0);
    EXPECT_EQ(parse_duration("0.5s"), 0.5);
    EXPECT_EQ(parse_duration("2m"), 120.0);
    EXPECT_EQ(parse_duration("1m30s"), 90.0);
    EXPECT_EQ(parse_duration("500ms"), 0.5);
    EXPECT_EQ(parse_duration("1h2m3s4ms"), 3723.004);
    EXPECT_EQ(parse_duration("0s"), 0.0);
    for (const char* bad : {"", "5", "s", "-5s", "+5s", "5 s", "1e3s", "inf", "nans", "5x", "30s1m", "1m1m", "5s500",
                            ".5s", "5.s", "1.2.3s", "99999999999m"}) {
        EXPECT_FALSE(parse_duration(bad).has_value()) << bad;
    }
}

TEST(ScenarioTime, ReadsClockReadingsOrDurations) {
    EXPECT_EQ(parse_clock("2:30"), 150.0);
    EXPECT_EQ(parse_clock("0:00"), 0.0);
    EXPECT_EQ(parse_clock("1:02:30"), 3750.0);
    EXPECT_EQ(parse_clock("0:05.5"), 5.5);
    EXPECT_EQ(parse_clock("90:00"), 5400.0);  // minutes may run past the hour
    EXPECT_EQ(parse_clock("150s"), 150.0);
    for (const char* bad :
         {"2:3", "2:60", "2:030", ":30", "2:", "1:2:3:4", "1:02:03:04", "1.5:00", "-1:00", "2:30s", "a:bc"}) {
        EXPECT_FALSE(parse_clock(bad).has_value()) << bad;
    }
}

TEST(ScenarioTime, PrintsClockReadingsToTheMillisecond) {
    EXPECT_EQ(format_clock(0.0), "0:00");
    EXPECT_EQ(format_clock(150.0), "2:30");
    EXPECT_EQ(format_clock(3750.0), "1:02:30");
    EXPECT_EQ(format_clock(5.5), "0:05.5");
    EXPECT_EQ(format_clock(5.0 / 18.0), "0:00.278");
    EXPECT_EQ(format_clock(59.9996), "1:00");
    EXPECT_EQ(format_clock(-1.0), "?");
}

TEST(ScenarioTime, CountsUpdatesToTheNearest) {
    EXPECT_EQ(frames_at(1.0), 18);
    EXPECT_EQ(frames_at(0.1), 2);  // 1.8 updates
    EXPECT_EQ(frames_at(0.02), 0);
    EXPECT_EQ(frames_at(10 * 0.1), 18);  // from the total, so tenths do not drift
    EXPECT_EQ(frames_at(-3.0), 0);
}
