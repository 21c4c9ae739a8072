#include "screen/screen_schedule.h"

namespace screen {

bool ScreenSchedule::dark_at(const Moment& now) {
    const DarkState hours = dark_state(hours_, now.wall);
    // An edge passed: the state changed, or the clock went past the edge expected
    // (a jump forward over a whole span changes nothing else).
    const bool edge = last_ && (hours.dark != last_->dark || (last_->next_edge && now.wall >= *last_->next_edge));
    last_ = hours;
    if (edge) rule_ = Rule::hours;
    if (rule_ == Rule::woken && now.steady - last_input_ >= kIdleDarkens) rule_ = Rule::hours;
    switch (rule_) {
    case Rule::by_hand: dark_ = dark_by_hand_; break;
    case Rule::woken: dark_ = false; break;
    case Rule::hours: dark_ = hours.dark; break;
    }
    return dark_;
}

void ScreenSchedule::set_by_hand(bool dark, const Moment& now) {
    dark_at(now);  // an edge just passed must not undo this change
    rule_ = Rule::by_hand;
    dark_by_hand_ = dark;
    dark_ = dark;
}

bool ScreenSchedule::input(const Moment& now) {
    last_input_ = now.steady;
    if (!dark_at(now)) return false;
    rule_ = Rule::woken;
    dark_ = false;
    return true;
}

}  // namespace screen
