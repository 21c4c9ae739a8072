#include "platform/service_notify.h"

#include <glibmm/main.h>
#include <systemd/sd-daemon.h>

#include <cstdint>
#include <cstdlib>

namespace platform {

ServiceNotifier::ServiceNotifier(std::function<std::string()> status) : status_(std::move(status)) {
    if (!std::getenv("NOTIFY_SOCKET")) return;
    std::uint64_t usec = 0;
    watchdog_ = sd_watchdog_enabled(0, &usec) > 0;
    // Once a second whatever the watchdog's period: the manager only asks for at
    // least one feed per period, and the status line is worth as much.
    timeout_ = Glib::signal_timeout().connect_seconds(
        [this] {
            beat();
            return true;
        },
        1);
}

ServiceNotifier::~ServiceNotifier() { timeout_.disconnect(); }

void ServiceNotifier::ready() {
    if (!timeout_.connected()) return;
    last_status_ = status_();
    sd_notify(0, ("READY=1\nSTATUS=" + last_status_).c_str());
}

void ServiceNotifier::beat() {
    std::string message = watchdog_ ? "WATCHDOG=1\n" : "";
    if (std::string status = status_(); status != last_status_) {
        last_status_ = status;
        message += "STATUS=" + status;
    }
    if (!message.empty()) sd_notify(0, message.c_str());
}

}  // namespace platform
