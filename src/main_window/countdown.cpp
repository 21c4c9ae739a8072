#include "main_window/countdown.h"

#include <cmath>
#include <cstdint>
#include <optional>

namespace {

// Empty counts as 0; a text that is no number cannot be written, so that axis is
// left alone rather than failing the pane's other axis.
std::optional<double> scroll_offset(const Value& stored) {
    const auto number = stored.to_number();
    if (!number || !std::isfinite(*number)) return std::nullopt;
    return number;
}

}  // namespace

Countdown::Countdown(SettingsStore& store, PaneSet panes, const DialogFields& flags, Ticker& ticker)
    : store_(store), panes_(panes), flags_(flags), ticker_(ticker) {}

std::string Countdown::tick() {
    step_down();
    const std::string caption = store_.Dati[0].to_text();
    hold_scroll();
    return caption;
}

std::string Countdown::toggle() {
    if (ticker_.running()) {
        ticker_.stop();
        return "Timer on";
    }
    ticker_.start();
    return "Timer off";
}

void Countdown::reload_flagged(ReloadCause cause) {
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        // Read each flag right before its own pane, so an edit in the dialog
        // counts for the panes not yet reached.
        if (flags_.check(static_cast<int>(i) + 1) != 1) continue;
        if (panes_[i]) panes_[i]->refresh(cause);
    }
}

void Countdown::step_down() {
    Value& seconds = store_.Dati[0];
    if (auto next = subtract(seconds, Value(std::int16_t{1}))) seconds = *next;
    // A counter that holds no number, or has somehow gone below 1, has run out as
    // surely as one that reached 0: resetting it keeps the cycle alive.
    const auto left = seconds.to_number();
    if (left && *left > 0) return;
    start_cycle_again();
    reload_flagged(ReloadCause::schedule);
}

std::string Countdown::start_cycle_again() {
    store_.Dati[0] = Value(static_cast<std::int16_t>(kResetSeconds));
    return store_.Dati[0].to_text();
}

void Countdown::hold_scroll() {
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        if (!panes_[i]) continue;
        // A pane still loading refuses; the next tick tries again.
        panes_[i]->set_body_scroll(scroll_offset(store_.ScrollX[i]), scroll_offset(store_.ScrollY[i]));
    }
}
