// Real processes: the launcher entry's program, started through GIO, runs in its
// own folder whatever blanks its path holds, and leaves ours alone; the browser
// starts without the caller waiting on the session bus.

#include "platform/gio_process_launcher.h"

#include <glib.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <thread>

#include "main_window/launcher.h"
#include "support/files.h"
#include "support/wait_until.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string first_line_of(const fs::path& file) {
    const std::string text = file_text(file);
    return text.substr(0, text.find('\n'));
}

class GioProcessLauncherTest : public ::testing::Test {
protected:
    TempFolder temp{"orvalis launcher"};  // a blank in the path, as in many a user's folder
    const fs::path& folder = temp.path();
    platform::GioProcessLauncher launcher;
};

TEST_F(GioProcessLauncherTest, ProgramRunsInItsOwnFolderAndOursStays) {
    const fs::path script = folder / "report dir.sh", result = folder / "result";
    std::ofstream(script) << "#!/bin/sh\npwd -P > '" << result.string() << "'\n";
    fs::permissions(script, fs::perms::owner_all);
    const fs::path ours = fs::current_path();
    const auto command = launcher_command(script.string());
    ASSERT_TRUE(command && launcher.start(command->argv, command->working_dir));
    ASSERT_TRUE(wait_until([&] { return !first_line_of(result).empty(); }, 10s));
    EXPECT_EQ(first_line_of(result), fs::canonical(folder).string());
    EXPECT_EQ(fs::current_path(), ours);
    // The main loop reaps the finished program: no zombie is left behind.
    const auto our_children = [] { return first_line_of("/proc/self/task/" + std::to_string(gettid()) + "/children"); };
    EXPECT_TRUE(wait_until([&] { return our_children().empty(); }, 10s)) << our_children();
}

TEST_F(GioProcessLauncherTest, WhatCannotStartReturnsFalse) {
    for (const auto& argv : std::vector<std::vector<std::string>>{{}, {""}, {"/no such program"}, {"/etc/passwd"}})
        EXPECT_FALSE(launcher.start(argv, folder.string()));
    EXPECT_FALSE(launcher.start({"/bin/true"}, (folder / "no such folder").string()));
    EXPECT_FALSE(launcher.open_uri("orvalis-no-such-scheme:nowhere"));
}

// A session bus that takes connections and never answers them, as a bus stuck
// behind a busy service looks to its clients; once closed, they see a reset.
struct SilentSessionBus {
    explicit SilentSessionBus(const fs::path& socket_path) : fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        socket_path.string().copy(address.sun_path, sizeof address.sun_path - 1);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 8) != 0)
            ADD_FAILURE() << "cannot listen on " << socket_path;
        g_setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + socket_path.string()).c_str(), TRUE);
    }
    ~SilentSessionBus() { ::close(fd); }
    int fd;
};

TEST_F(GioProcessLauncherTest, OpeningAnAddressReturnsWhileTheSessionBusIsStuck) {
    // The default handler of orvalis-test: addresses, in the data folders the test main set up.
    const fs::path opened = folder / "opened", browser = folder / "browser.sh";
    std::ofstream(browser) << "#!/bin/sh\nprintf %s \"$1\" > '" << opened.string() << "'\n";
    fs::permissions(browser, fs::perms::owner_all);
    const fs::path apps = fs::path(g_get_user_data_dir()) / "applications";
    fs::create_directories(apps);
    std::ofstream(apps / "orvalis-test-browser.desktop")
        << "[Desktop Entry]\nType=Application\nName=Test browser\nExec=\"" << browser.string()
        << "\" %u\nMimeType=x-scheme-handler/orvalis-test;\n";
    fs::create_directories(g_get_user_config_dir());
    std::ofstream(fs::path(g_get_user_config_dir()) / "mimeapps.list")
        << "[Default Applications]\nx-scheme-handler/orvalis-test=orvalis-test-browser.desktop\n";

    auto bus = std::make_unique<SilentSessionBus>(folder / "bus");
    // A caller that waits for the bus is let go after a long while, so that the test ends.
    std::promise<void> returned;
    bool let_go = false;
    std::thread watchdog([&, done = returned.get_future()] {
        let_go = done.wait_for(30s) == std::future_status::timeout;
        bus.reset();
    });
    const bool accepted = launcher.open_uri("orvalis-test:probe");
    returned.set_value();
    watchdog.join();
    EXPECT_TRUE(accepted);
    EXPECT_FALSE(let_go) << "the caller waited for the session bus";
    // Once the bus gives up, the browser still starts.
    EXPECT_TRUE(wait_until([&] { return first_line_of(opened) == "orvalis-test:probe"; }, 10s));
}

}  // namespace
