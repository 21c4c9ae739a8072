#pragma once
// Whether the wall is dark now: the dark hours, unless someone changed it.
// - A change from afar (D-Bus, MQTT) holds until the next edge of the hours.
// - A touch on a dark wall lights it; inside the dark hours it darkens again after
//   kIdleDarkens without input, outside them (darkened from afar) it stays lit until
//   the next edge.
// The caller asks at least every few seconds with the wall clock, so that an edge,
// a clock that jumps and a change of summer time are all followed within that time.

#include <chrono>
#include <ctime>
#include <optional>

#include "screen/dark_hours.h"

namespace screen {

struct Moment {
    std::time_t wall = 0;                          // what the clock says
    std::chrono::steady_clock::time_point steady;  // for the idle time, which the clock must not move
};

class ScreenSchedule {
public:
    static constexpr auto kIdleDarkens = std::chrono::minutes(5);

    explicit ScreenSchedule(DarkHours hours = {}) : hours_(std::move(hours)) {}

    // Whether the wall should be dark at now.
    bool dark_at(const Moment& now);
    // Without dark hours the clock changes nothing: only a change from afar or an input does.
    bool follows_clock() const { return !hours_.empty(); }
    // From afar: dark or lit until the next edge.
    void set_by_hand(bool dark, const Moment& now);
    // A click, touch or key; true when it lit a dark wall (and so goes no further).
    bool input(const Moment& now);

private:
    enum class Rule { hours, by_hand, woken };

    DarkHours hours_;
    Rule rule_ = Rule::hours;
    bool dark_by_hand_ = false;
    std::optional<DarkState> last_;
    std::chrono::steady_clock::time_point last_input_;
    bool dark_ = false;
};

}  // namespace screen
