#include "main_window/glib_ticker.h"

#include <glibmm/main.h>

#include <utility>

GlibTicker::GlibTicker(std::function<void()> on_tick, unsigned interval_ms)
    : on_tick_(std::move(on_tick)), interval_ms_(interval_ms) {}

GlibTicker::~GlibTicker() { stop(); }

void GlibTicker::start() {
    if (running()) return;
    // A timeout disconnected inside its own slot is destroyed by GLib whatever the
    // slot returns, so stopping or restarting from a tick leaves one timeout at most.
    timeout_ = Glib::signal_timeout().connect(
        [this] {
            if (on_tick_) on_tick_();
            return true;
        },
        interval_ms_);
}

void GlibTicker::stop() {
    timeout_.disconnect();
}

bool GlibTicker::running() const { return timeout_.connected(); }

