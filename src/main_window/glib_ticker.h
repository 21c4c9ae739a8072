#pragma once
// GlibTicker: a Ticker over a GLib timeout on the default main context. The first
// tick comes one full interval after start(); the slot runs on the main loop and
// may itself stop or restart the ticker.

#include <sigc++/connection.h>

#include <functional>

#include "main_window/ticker.h"

class GlibTicker : public Ticker {
public:
    explicit GlibTicker(std::function<void()> on_tick, unsigned interval_ms = 1000);
    ~GlibTicker() override;
    GlibTicker(const GlibTicker&) = delete;
    GlibTicker& operator=(const GlibTicker&) = delete;

    void start() override;
    void stop() override;
    bool running() const override;

private:
    std::function<void()> on_tick_;
    unsigned interval_ms_;
    sigc::connection timeout_;
};
