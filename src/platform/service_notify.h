#pragma once
// Tells the service manager how the program stands, through the notify protocol
// (sd_notify): READY=1 when asked, WATCHDOG=1 once a second while the service has a
// watchdog, and a STATUS= line whenever it changes. The feeds come from a timeout on
// the main loop, so a loop that locks up stops them and the manager restarts the
// program. Started outside a service (no NOTIFY_SOCKET), it does nothing at all.

#include <sigc++/connection.h>

#include <functional>
#include <string>

namespace platform {

class ServiceNotifier {
public:
    // status: the STATUS= line, asked once a second.
    explicit ServiceNotifier(std::function<std::string()> status);
    ~ServiceNotifier();
    ServiceNotifier(const ServiceNotifier&) = delete;
    ServiceNotifier& operator=(const ServiceNotifier&) = delete;

    void ready();

private:
    void beat();

    std::function<std::string()> status_;
    std::string last_status_;
    bool watchdog_ = false;
    sigc::connection timeout_;
};

}  // namespace platform
