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
#include <future>
#include <thread>

#include "main_window/launcher.h"
#include "support/files.h"
#include "support/wait_until.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class GioProcessLauncherTest : public ::testing::Test {
protected:
    TempFolder temp{"orvalis launcher"};  // a blank in the path, as in many a user's folder
    const fs::path& folder = temp.path();
    platform::GioProcessLauncher launcher;
};

TEST_F(GioProcessLauncherTest, ProgramRunsInItsOwnFolderAndOursStaysAndWhatCannotStartReturnsFalse) {
    const fs::path script = folder / "report dir.sh", result = folder / "result";
    fs::permissions(write_file(script, "#!/bin/sh\npwd -P > '" + result.string() + "'\n"), fs::perms::owner_all);
    const fs::path ours = fs::current_path();
    const auto command = launcher_command(script.string());
    ASSERT_TRUE(command && launcher.start(command->argv, command->working_dir));
    ASSERT_TRUE(wait_until([&] { return !file_text(result).empty(); }, 10s));
    EXPECT_EQ(file_text(result), fs::canonical(folder).string() + "\n");
    EXPECT_EQ(fs::current_path(), ours);
    // The main loop reaps the finished program: no zombie is left behind.
    const auto our_children = [] { return file_text("/proc/self/task/" + std::to_string(gettid()) + "/children"); };
    EXPECT_TRUE(wait_until([&] { return our_children().empty(); }, 10s)) << our_children();

    for (const auto& argv : std::vector<std::vector<std::string>>{{}, {""}, {"/no such program"}, {"/etc/passwd"}})
        EXPECT_FALSE(launcher.start(argv, folder.string()));
}

TEST_F(GioProcessLauncherTest, OpeningAnAddressReturnsWhileTheSessionBusIsStuckAndOnlyTheWebOpens) {
    // The default browser, also for orvalis-test: addresses, in the data folders the test main set up.
    const fs::path opened = folder / "opened", browser = folder / "browser.sh";
    const fs::path apps = fs::path(g_get_user_data_dir()) / "applications", config = g_get_user_config_dir();
    write_file(browser, "#!/bin/sh\nprintf %s \"$1\" > '" + opened.string() + "'\n");
    fs::permissions(browser, fs::perms::owner_all);
    fs::create_directories(apps);
    fs::create_directories(config);
    write_file(apps / "orvalis-test-browser.desktop",
               "[Desktop Entry]\nType=Application\nName=Test browser\nExec=\"" + browser.string() + "\" %u\n"
               "MimeType=x-scheme-handler/http;x-scheme-handler/orvalis-test;\n");
    write_file(config / "mimeapps.list", "[Default Applications]\nx-scheme-handler/http=orvalis-test-browser.desktop\n"
                                         "x-scheme-handler/orvalis-test=orvalis-test-browser.desktop\n");
    EXPECT_FALSE(launcher.open_uri("orvalis-test:probe")) << "a scheme that starts another program";

    // A session bus that takes connections and never answers them, as a bus stuck
    // behind a busy service looks to its clients; once closed, they see a reset.
    const int bus = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    (folder / "bus").string().copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_TRUE(::bind(bus, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(bus, 8) == 0);
    g_setenv("DBUS_SESSION_BUS_ADDRESS", (std::string("unix:path=") + address.sun_path).c_str(), TRUE);
    // A caller that waits for the bus is let go after a long while, so that the test ends.
    std::promise<void> returned;
    bool let_go = false;
    std::thread watchdog([&, done = returned.get_future()] {
        let_go = done.wait_for(30s) == std::future_status::timeout;
        ::close(bus);
    });
    const bool accepted = launcher.open_uri("http://127.0.0.1:9/probe");
    returned.set_value();
    watchdog.join();
    EXPECT_TRUE(accepted && !let_go) << (let_go ? "the caller waited for the session bus" : "refused");
    // Once the bus gives up, the browser still starts.
    EXPECT_TRUE(wait_until([&] { return file_text(opened) == "http://127.0.0.1:9/probe"; }, 10s));
}

}  // namespace
