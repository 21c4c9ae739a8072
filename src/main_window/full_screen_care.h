#pragma once
// What a wall in full screen needs that a window elsewhere must not have: the screen
// never blanks (the session is asked not to go idle, and on X11 the X screensaver,
// which also holds DPMS, is suspended), and the pointer goes out of sight after
// three still seconds over the window, back as soon as it moves. Leaving full
// screen lifts all of it; outside full screen the pointer is never hidden.

#include <gtkmm/window.h>
#include <sigc++/connection.h>

#include <chrono>
#include <utility>
#include <vector>

class FullScreenCare {
public:
    static constexpr auto kPointerStill = std::chrono::seconds(3);

    explicit FullScreenCare(Gtk::Window& window);
    ~FullScreenCare();
    FullScreenCare(const FullScreenCare&) = delete;
    FullScreenCare& operator=(const FullScreenCare&) = delete;

    void set_full_screen(bool on);
    // A dark wall may let the screen sleep, full screen or not.
    void set_screen_dark(bool dark);
    bool pointer_hidden() const { return !hidden_.empty(); }

private:
    void keep_screen_on(bool on);
    void look_at_pointer();
    void hide_pointer();
    void show_pointer();
    static void on_cursor_set(GObject* window, GParamSpec*, gpointer self);

    Gtk::Window& window_;
    bool on_ = false;
    bool dark_ = false;
    guint inhibit_cookie_ = 0;
    bool screensaver_suspended_ = false;
    sigc::connection pointer_watch_;
    std::pair<int, int> pointer_at_{-1, -1};
    std::chrono::steady_clock::time_point still_since_;
    // Each window of the view (WebKit's views have their own) with the cursor it had.
    std::vector<std::pair<GdkWindow*, GdkCursor*>> hidden_;
    // The cursor that hides it, while it is hidden.
    GdkCursor* blank_ = nullptr;
};
