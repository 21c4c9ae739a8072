#include "main_window/screen_sleep.h"

#include <glibmm/main.h>

#include <ctime>

namespace {

screen::Moment now() { return {std::time(nullptr), std::chrono::steady_clock::now()}; }

}  // namespace

ScreenSleep::ScreenSleep(Gtk::Window& window, screen::DarkHours hours, std::function<void(bool dark)> on_dark)
    : window_(window), schedule_(std::move(hours)), on_dark_(std::move(on_dark)) {
    cover_.set_no_show_all(true);
    cover_.set_visible_window(true);
    cover_.add_events(Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK | Gdk::TOUCH_MASK | Gdk::SCROLL_MASK);
    cover_.signal_draw().connect([](const Cairo::RefPtr<Cairo::Context>& cr) {
        cr->set_source_rgb(0, 0, 0);
        cr->paint();
        return true;
    });
    // Whatever reaches the cover stays there; a press or touch wakes the wall, unless
    // the window's own watch below already did.
    cover_.signal_button_press_event().connect([this](GdkEventButton*) {
        input();
        return true;
    });
    cover_.signal_button_release_event().connect([](GdkEventButton*) { return true; });
    cover_.signal_touch_event().connect([this](GdkEventTouch* touch) {
        if (touch->type == GDK_TOUCH_BEGIN) input();
        return true;
    });
    cover_.signal_scroll_event().connect([](GdkEventScroll*) { return true; });
    // Every press in the window, before any widget of it: the idle time counts from
    // the last, and on a dark wall the first one is claimed here, only to wake it.
    presses_ = Gtk::GestureMultiPress::create(window);
    presses_->set_button(0);
    presses_->set_propagation_phase(Gtk::PHASE_CAPTURE);
    presses_->signal_pressed().connect([this](int, double, double) {
        if (input()) presses_->set_state(Gtk::EVENT_SEQUENCE_CLAIMED);
    });
}

ScreenSleep::~ScreenSleep() {
    clock_watch_.disconnect();
    // A wall that closes at night leaves the screen on for whoever comes next.
    if (dark_ && power_) power_->set_on(true);
}

void ScreenSleep::set_lit(bool lit) {
    schedule_.set_by_hand(!lit, now());
    show(!lit);
}

void ScreenSleep::look_at_clock() {
    if (!clock_watch_.connected() && schedule_.follows_clock())
        clock_watch_ = Glib::signal_timeout().connect_seconds(
            [this] {
                look_at_clock();
                return true;
            },
            kLookSeconds);
    show(schedule_.dark_at(now()));
}

bool ScreenSleep::input() {
    const bool woke = schedule_.input(now());
    if (woke) show(false);
    return woke;
}

void ScreenSleep::show(bool dark) {
    if (dark == dark_) return;
    dark_ = dark;
    if (!power_) power_ = std::make_unique<platform::ScreenPower>(window_.get_display()->gobj());
    if (dark) {
        on_dark_(true);
        cover_.show();
        power_->set_on(false);
    } else {
        power_->set_on(true);
        cover_.hide();
        on_dark_(false);
    }
    lit_changed_.emit(!dark);
}
