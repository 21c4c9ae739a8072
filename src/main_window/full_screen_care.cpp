#include "main_window/full_screen_care.h"

#include <glibmm/main.h>
#include <gtkmm/application.h>

// Last: Xlib's macros (None, Status, ...) must not meet the headers above.
#include <gdk/gdkx.h>
#include <X11/extensions/scrnsaver.h>

namespace {

// Often enough that a moved pointer shows at once to the eye; one small query each time.
constexpr unsigned kPointerLookMs = 200;

void collect_windows(GdkWindow* window, std::vector<GdkWindow*>& all) {
    all.push_back(window);
    GList* children = gdk_window_get_children(window);
    for (GList* child = children; child; child = child->next) collect_windows(GDK_WINDOW(child->data), all);
    g_list_free(children);
}

}  // namespace

FullScreenCare::FullScreenCare(Gtk::Window& window) : window_(window) {}

FullScreenCare::~FullScreenCare() {
    if (on_) set_full_screen(false);
}

void FullScreenCare::set_full_screen(bool on) {
    if (on == on_) return;
    on_ = on;
    keep_screen_on(on && !dark_);
    if (on) {
        pointer_at_ = {-1, -1};
        still_since_ = std::chrono::steady_clock::now();
        pointer_watch_ = Glib::signal_timeout().connect(
            [this] {
                look_at_pointer();
                return true;
            },
            kPointerLookMs);
    } else {
        pointer_watch_.disconnect();
        show_pointer();
    }
}

void FullScreenCare::set_screen_dark(bool dark) {
    dark_ = dark;
    keep_screen_on(on_ && !dark);
}

void FullScreenCare::keep_screen_on(bool on) {
    if (auto app = window_.get_application()) {
        if (on && !inhibit_cookie_)
            inhibit_cookie_ = app->inhibit(window_, Gtk::APPLICATION_INHIBIT_IDLE, "Parete a schermo intero");
        if (!on && inhibit_cookie_) {
            app->uninhibit(inhibit_cookie_);
            inhibit_cookie_ = 0;
        }
    }
    GdkDisplay* display = window_.get_display()->gobj();
    if (!GDK_IS_X11_DISPLAY(display) || on == screensaver_suspended_) return;
    Display* x = GDK_DISPLAY_XDISPLAY(display);
    int event_base = 0, error_base = 0;
    if (!XScreenSaverQueryExtension(x, &event_base, &error_base)) return;
    XScreenSaverSuspend(x, on ? True : False);
    XFlush(x);
    screensaver_suspended_ = on;
}

void FullScreenCare::look_at_pointer() {
    GdkWindow* window = window_.get_window() ? window_.get_window()->gobj() : nullptr;
    if (!window) return;
    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_window_get_display(window)));
    std::pair<int, int> at;
    gdk_window_get_device_position(window, pointer, &at.first, &at.second, nullptr);
    const auto now = std::chrono::steady_clock::now();
    if (at != pointer_at_) {
        pointer_at_ = at;
        still_since_ = now;
        show_pointer();
    } else if (!pointer_hidden() && now - still_since_ >= kPointerStill) {
        hide_pointer();
    }
}

void FullScreenCare::hide_pointer() {
    GdkWindow* top = window_.get_window()->gobj();
    blank_ = gdk_cursor_new_for_display(gdk_window_get_display(top), GDK_BLANK_CURSOR);
    std::vector<GdkWindow*> windows;
    collect_windows(top, windows);
    for (GdkWindow* window : windows) {
        GdkCursor* had = gdk_window_get_cursor(window);
        hidden_.emplace_back(GDK_WINDOW(g_object_ref(window)), had ? GDK_CURSOR(g_object_ref(had)) : nullptr);
        gdk_window_set_cursor(window, blank_);
        // A web view sets its page's cursor again whenever the page changes it (a reload,
        // a scroll): that cursor is the one to bring back, and stays out of sight till then.
        g_signal_connect(window, "notify::cursor", G_CALLBACK(&FullScreenCare::on_cursor_set), this);
    }
}

void FullScreenCare::on_cursor_set(GObject* object, GParamSpec*, gpointer data) {
    auto* self = static_cast<FullScreenCare*>(data);
    GdkWindow* window = GDK_WINDOW(object);
    GdkCursor* set = gdk_window_get_cursor(window);
    if (!self->blank_ || set == self->blank_) return;
    for (auto& [hidden, had] : self->hidden_) {
        if (hidden != window) continue;
        if (had) g_object_unref(had);
        had = set ? GDK_CURSOR(g_object_ref(set)) : nullptr;
    }
    gdk_window_set_cursor(window, self->blank_);
}

void FullScreenCare::show_pointer() {
    for (auto& [window, had] : hidden_) {
        g_signal_handlers_disconnect_by_data(window, this);
        gdk_window_set_cursor(window, had);
        if (had) g_object_unref(had);
        g_object_unref(window);
    }
    hidden_.clear();
    g_clear_object(&blank_);
}
