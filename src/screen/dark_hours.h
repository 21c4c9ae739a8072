#pragma once
// The dark hours of the wall, group [Schermo] of orvalis.conf:
//   Spento=23:00-06:30             ranges in local time, for every day
//   Sab=00:00-24:00                Lun..Dom replace Spento for that day
//   Dom=00:00-09:00;13:00-15:00
// A range belongs to the day it starts in and may run past midnight into the next.
// Local time is the C library's (TZ), so a change of daylight saving time moves
// the edges with the wall clock, as a person reading it expects.

#include <array>
#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace screen {

// Minutes from midnight; to <= from runs past midnight (to may be 1440, "24:00").
struct DarkRange {
    int from = 0;
    int to = 0;
    bool operator==(const DarkRange&) const = default;
};

struct DarkHours {
    std::vector<DarkRange> every_day;
    // Monday first; a day given here ignores every_day.
    std::array<std::optional<std::vector<DarkRange>>, 7> days;
    bool empty() const;
};

struct ReadDarkHours {
    DarkHours hours;
    std::vector<std::string> complaints;  // one line each, for standard error
};

// "HH:MM-HH:MM;HH:MM-HH:MM"; nullopt when any part of it cannot be read.
std::optional<std::vector<DarkRange>> parse_ranges(const std::string& text);
// The group's keys; a value that cannot be read is ignored with one complaint, as is
// a key this group does not know.
ReadDarkHours read_dark_hours(const std::map<std::string, std::string>& values);

struct DarkState {
    bool dark = false;
    // The next moment the state changes; none when the hours are empty or cover every minute.
    std::optional<std::time_t> next_edge;
};

DarkState dark_state(const DarkHours& hours, std::time_t now);

}  // namespace screen
