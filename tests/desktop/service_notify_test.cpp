// The service manager's side of the notify protocol: a datagram socket of the
// test's own stands in for systemd's, and the program's messages are read from it.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/service_notify.h"
#include "support/program_run.h"
#include "support/wait_until.h"

namespace {

using namespace std::chrono_literals;

class NotifySocket {
public:
    NotifySocket() {
        fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path_ = "/tmp/orvalis-notify-" + std::to_string(getpid());
        path_.copy(address.sun_path, sizeof address.sun_path - 1);
        unlink(path_.c_str());
        if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) ADD_FAILURE() << "bind";
    }
    ~NotifySocket() {
        close(fd_);
        unlink(path_.c_str());
    }
    const std::string& path() const { return path_; }

    // Adds the datagrams that arrived to seen; true if there were any.
    bool take() {
        char buffer[4096];
        const auto before = seen.size();
        for (ssize_t n; (n = recv(fd_, buffer, sizeof buffer, 0)) >= 0;) seen.emplace_back(buffer, n);
        return seen.size() > before;
    }
    // Waits until `count` of the datagrams seen hold `text`.
    bool wait_for(const std::string& text, long count = 1) {
        return wait_until([&] {
            take();
            return std::count_if(seen.begin(), seen.end(), [&](auto& m) { return m.find(text) != std::string::npos; }) >= count;
        }, 60s);
    }
    std::vector<std::string> seen;

private:
    int fd_ = -1;
    std::string path_;
};

TEST(ServiceNotify, TheProgramSaysReadyWithItsStatusAndFeedsTheWatchdog) {
    NotifySocket manager;
    const std::string config = manager.path() + ".cfg";  // none: a wall of empty panes
    RunningProgram wall({ORVALIS_PROGRAM, "--config", config},
                        {"NOTIFY_SOCKET=" + manager.path(), "WATCHDOG_USEC=30000000", "WATCHDOG_PID"});
    ASSERT_TRUE(manager.wait_for("READY=1")) << wall.err();
    EXPECT_NE(manager.seen.back().find("STATUS=0 pagine"), std::string::npos) << manager.seen.back();
    EXPECT_TRUE(manager.wait_for("WATCHDOG=1", 2));
    EXPECT_FALSE(wall.ended());
}

TEST(ServiceNotify, FeedsStopWhileTheMainLoopIsBlocked) {
    NotifySocket manager;
    setenv("NOTIFY_SOCKET", manager.path().c_str(), 1);
    setenv("WATCHDOG_USEC", "3000000", 1);
    unsetenv("WATCHDOG_PID");
    platform::ServiceNotifier notifier([] { return std::string("1 pagina"); });
    ASSERT_TRUE(manager.wait_for("WATCHDOG=1"));

    // A thread that locks up: were the feeds sent from anywhere but this loop, they
    // would keep coming.
    std::this_thread::sleep_for(2500ms);
    manager.seen.clear();
    EXPECT_FALSE(manager.take());
    EXPECT_TRUE(manager.wait_for("WATCHDOG=1"));
    unsetenv("NOTIFY_SOCKET");
}

}  // namespace
