#pragma once
// The screen's own power, each display its own way: DPMS on X11 (where the server
// has it), wlroots' output power protocol on sway, labwc or Wayfire, Mutter's
// PowerSaveMode on GNOME's Wayland. Where none applies (Xvfb, a VNC server, another
// compositor) the screen stays powered and one line on standard error says so, once;
// the window's black cover is then all there is. Nothing here blocks or opens a dialog.

#include <gdk/gdk.h>

#include <memory>

namespace platform {

class WlrOutputPower;

class ScreenPower {
public:
    enum class Way { none, x11_dpms, wlroots, mutter };

    explicit ScreenPower(GdkDisplay* display);
    ~ScreenPower();
    ScreenPower(const ScreenPower&) = delete;
    ScreenPower& operator=(const ScreenPower&) = delete;

    // What this display offers; mutter until the session bus says it has no Mutter.
    Way way() const { return way_; }
    // Powers the screen down (false) or up again.
    void set_on(bool on);

private:
    static void on_mutter_answer(GObject* bus, GAsyncResult* result, gpointer self);
    void say_none_applies();

    GdkDisplay* display_;
    Way way_ = Way::none;
    std::unique_ptr<WlrOutputPower> wlroots_;
    // DPMS as the server had it before the first power-down, given back on waking.
    bool dpms_was_enabled_ = true;
    bool said_none_ = false;
    GCancellable* cancellable_ = g_cancellable_new();
};

}  // namespace platform
