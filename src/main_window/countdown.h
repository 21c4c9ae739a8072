#pragma once
// Countdown: the two-minute reload cycle of the main window and the scroll hold
// that keeps every pane on its stored region. It steps the shared counter, reloads
// the flagged panes and writes the stored offsets; the timer that drives it and the
// menu captions it returns are the caller's to own and display.

#include <string>

#include "browser_pane/pane.h"
#include "settings/dialog_fields.h"
#include "main_window/ticker.h"
#include "settings/settings_store.h"

class Countdown {
public:
    static constexpr int kResetSeconds = 120;

    Countdown(SettingsStore& store, PaneSet panes, const DialogFields& flags, Ticker& ticker);

    // One second has passed: returns the new caption of the counter entry.
    std::string tick();
    // Starts or stops the ticker; returns the new caption of the timer entry,
    // which names what the next click will do.
    std::string toggle();
    // Reloads the panes whose refresh flag holds exactly 1.
    void reload_flagged(ReloadCause cause);
    // Sets the counter back to a whole cycle, as when it runs out, without reloading;
    // returns the new caption of the counter entry.
    std::string start_cycle_again();

private:
    void step_down();
    void hold_scroll();

    SettingsStore& store_;
    PaneSet panes_;
    const DialogFields& flags_;
    Ticker& ticker_;
};
