#pragma once
// The wall's night: a black cover over the whole window and the screen powered down,
// in the dark hours or when told from afar. Darkening and waking are the window's to
// carry out on its panes and countdown (the slot given); this decides when, covers,
// powers the screen and lets the first touch on a dark wall only wake it.
// With dark hours the clock is read every few seconds, so edges, clock jumps and
// summer time are followed within kLookSeconds.

#include <gtkmm/eventbox.h>
#include <gtkmm/gesturemultipress.h>
#include <gtkmm/window.h>
#include <sigc++/connection.h>
#include <sigc++/signal.h>

#include <functional>
#include <memory>

#include "platform/screen_power.h"
#include "screen/screen_schedule.h"

class ScreenSleep {
public:
    static constexpr unsigned kLookSeconds = 4;

    // on_dark: the window puts its panes and countdown to sleep (true) or wakes them.
    ScreenSleep(Gtk::Window& window, screen::DarkHours hours, std::function<void(bool dark)> on_dark);
    ~ScreenSleep();
    ScreenSleep(const ScreenSleep&) = delete;
    ScreenSleep& operator=(const ScreenSleep&) = delete;

    // Lies over everything else of the window; shown only while dark.
    Gtk::Widget& cover() { return cover_; }

    bool lit() const { return !dark_; }
    // From afar (D-Bus, MQTT): lit or dark until the next edge of the dark hours.
    void set_lit(bool lit);
    // Each change, however it came, with the new state: true when lit.
    sigc::signal<void(bool)>& signal_lit_changed() { return lit_changed_; }
    // A key, click or touch; true when it only woke the wall and must go no further.
    bool input();
    // Reads the clock now, as it will every kLookSeconds from then on where there are
    // dark hours; the first call, once the window can darken.
    void look_at_clock();

private:
    void show(bool dark);

    Gtk::Window& window_;
    screen::ScreenSchedule schedule_;
    std::function<void(bool)> on_dark_;
    Gtk::EventBox cover_;
    Glib::RefPtr<Gtk::GestureMultiPress> presses_;
    std::unique_ptr<platform::ScreenPower> power_;
    sigc::connection clock_watch_;
    sigc::signal<void(bool)> lit_changed_;
    bool dark_ = false;
};
