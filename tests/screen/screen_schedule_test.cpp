// The dark hours and who changes them, on a clock passed in, in Rome's time zone:
// the week of 27 March 2026 holds the change to summer time (Sunday 29, 02:00 -> 03:00).

#include "screen/screen_schedule.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace screen;
using testing::ElementsAre;
using testing::HasSubstr;

namespace {

std::time_t at(int day, int hour, int minute) {  // March 2026, Rome
    std::tm moment{};
    moment.tm_year = 126;
    moment.tm_mon = 2;
    moment.tm_mday = day;
    moment.tm_hour = hour;
    moment.tm_min = minute;
    moment.tm_isdst = -1;
    return std::mktime(&moment);
}

struct ScreenDayTest : ::testing::Test {
    ScreenDayTest() {
        setenv("TZ", "Europe/Rome", 1);
        tzset();
        const auto read = read_dark_hours(
            {{"Spento", "23:00-06:30"}, {"Sab", "00:00-24:00"}, {"Dom", "00:00-09:00; 13:00-15:00"}});
        EXPECT_TRUE(read.complaints.empty());
        hours = read.hours;
    }
    ~ScreenDayTest() override {
        unsetenv("TZ");
        tzset();
    }
    // The steady clock runs with the wall clock unless a test jumps the latter.
    Moment moment(std::time_t wall) { return {wall, std::chrono::steady_clock::time_point(std::chrono::seconds(wall))}; }
    DarkHours hours;
};

}  // namespace

TEST_F(ScreenDayTest, RangesReadAndBadValuesAreIgnoredWithOneLineEach) {
    EXPECT_EQ(parse_ranges("23:00-06:30"), (std::vector<DarkRange>{{23 * 60, 6 * 60 + 30}}));
    EXPECT_EQ(parse_ranges("00:00-24:00;"), (std::vector<DarkRange>{{0, 24 * 60}}));
    EXPECT_EQ(parse_ranges(" "), std::vector<DarkRange>{});  // that day has none
    for (const char* bad : {"24:00-01:00", "7:00-08:00", "10:00-10:00", "10:00", "10:60-11:00", "a-b", "01:00-02:00;x"})
        EXPECT_EQ(parse_ranges(bad), std::nullopt) << bad;
    const auto read = read_dark_hours({{"Spento", "22:00-25:00"}, {"Lun", "01:00-02:00"}, {"Sun", "01:00-02:00"}});
    EXPECT_THAT(read.complaints, ElementsAre(HasSubstr("Spento=22:00-25:00"), HasSubstr("Sun")));
    EXPECT_TRUE(read.hours.every_day.empty());
    EXPECT_EQ(read.hours.days[0], (std::vector<DarkRange>{{60, 120}}));
}

// Friday night runs into Saturday's whole day and Sunday morning, across the change
// to summer time; Sunday's own ranges replace the nightly one.
TEST_F(ScreenDayTest, EdgesAcrossMidnightDayKeysAndSummerTime) {
    struct Expect { std::time_t now; bool dark; std::time_t edge; };
    for (const Expect& e : {Expect{at(27, 22, 59), false, at(27, 23, 0)}, {at(27, 23, 0), true, at(29, 9, 0)},
                            {at(29, 2, 30), true, at(29, 9, 0)}, {at(29, 12, 0), false, at(29, 13, 0)},
                            {at(29, 14, 59), true, at(29, 15, 0)}, {at(29, 15, 0), false, at(30, 23, 0)},
                            {at(31, 6, 29), true, at(31, 6, 30)}}) {
        const DarkState state = dark_state(hours, e.now);
        EXPECT_EQ(state.dark, e.dark) << e.now;
        EXPECT_EQ(state.next_edge, e.edge) << e.now;
    }
    // Summer time took an hour out of the night.
    EXPECT_EQ(at(29, 9, 0) - at(27, 23, 0), 33 * 3600);
    EXPECT_EQ(dark_state({}, at(27, 23, 0)).next_edge, std::nullopt);
    EXPECT_EQ(dark_state({{{0, 24 * 60}}, {}}, at(27, 23, 0)).next_edge, std::nullopt);  // always dark
}

TEST_F(ScreenDayTest, ChangesByHandHoldUntilTheNextEdgeEvenWhenTheClockJumps) {
    ScreenSchedule schedule(hours);
    EXPECT_FALSE(schedule.dark_at(moment(at(27, 20, 0))));
    schedule.set_by_hand(true, moment(at(27, 20, 0)));
    EXPECT_TRUE(schedule.dark_at(moment(at(27, 22, 59))));
    schedule.set_by_hand(false, moment(at(27, 23, 30)));
    EXPECT_FALSE(schedule.dark_at(moment(at(29, 8, 59))));
    EXPECT_TRUE(schedule.dark_at(moment(at(29, 13, 0))));  // the edge after Sunday's 09:00 one
    // Lit by hand at 13:30; the clock then jumps past 15:00 into Monday night, dark again:
    // the state looks the same, but the edge expected has passed.
    schedule.set_by_hand(false, moment(at(29, 13, 30)));
    EXPECT_FALSE(schedule.dark_at(moment(at(29, 14, 0))));
    EXPECT_TRUE(schedule.dark_at({at(30, 23, 30), moment(at(29, 14, 0)).steady}));
    // And back to Sunday noon.
    EXPECT_FALSE(schedule.dark_at({at(29, 12, 0), moment(at(29, 14, 0)).steady}));
}

TEST_F(ScreenDayTest, ATouchWakesForFiveIdleMinutesInsideTheHoursAndUntilTheEdgeOutside) {
    ScreenSchedule schedule(hours);
    const std::time_t night = at(27, 23, 30);
    EXPECT_TRUE(schedule.dark_at(moment(night)));
    EXPECT_TRUE(schedule.input(moment(night)));  // only wakes
    EXPECT_FALSE(schedule.input(moment(night + 240)));  // reaches the page
    EXPECT_FALSE(schedule.dark_at(moment(night + 240 + 299)));
    EXPECT_TRUE(schedule.dark_at(moment(night + 240 + 300)));
    // Darkened from afar in the day, woken by a touch: lit till the next edge.
    const std::time_t noon = at(29, 12, 0);
    schedule.set_by_hand(true, moment(noon));
    EXPECT_TRUE(schedule.input(moment(noon + 60)));
    EXPECT_FALSE(schedule.dark_at(moment(noon + 3000)));
    EXPECT_TRUE(schedule.dark_at(moment(at(29, 13, 0))));
}
