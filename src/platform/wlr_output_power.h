#pragma once
// Screens on and off through wlroots' output power protocol (sway, labwc, Wayfire):
// each output of the compositor gets a power control, all set together. Works on a
// wl_display of its own or on GTK's, on an event queue of its own either way, so
// that GTK never dispatches our objects' events.

struct wl_display;

#include <memory>

namespace platform {

class WlrOutputPower {
public:
    // One round trip to learn the compositor's globals.
    explicit WlrOutputPower(wl_display* display);
    ~WlrOutputPower();
    WlrOutputPower(const WlrOutputPower&) = delete;
    WlrOutputPower& operator=(const WlrOutputPower&) = delete;

    // The compositor offers the protocol.
    bool available() const;
    // Every output on or off; outputs plugged in since are included. Returns at once.
    void set_on(bool on);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
