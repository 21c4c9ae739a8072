// The real program as a wall runs it, every case on a session bus of its own: driven
// from afar (its actions, `--status` without a display, a second start) and watched by
// a stand-in service manager; restarted as after a power cut, its pages still logged in.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <link.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "browser_pane/website_data/website_data.h"
#include "platform/service_notify.h"
#include "platform/wall_bus.h"
#include "support/files.h"
#include "support/local_http_server.h"
#include "support/program_run.h"
#include "support/wait_until.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::AllOf;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Matches;
using ::testing::Not;

// Stands in for systemd's notify socket: the program's messages are read from it.
struct NotifySocket {
    NotifySocket() {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        unlink(path.c_str());
        if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) ADD_FAILURE() << "bind";
    }
    ~NotifySocket() {
        close(fd);
        unlink(path.c_str());
    }
    // Adds the datagrams that arrived to seen; true if there were any.
    bool take() {
        char buffer[4096];
        const auto before = seen.size();
        for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) >= 0;) seen.emplace_back(buffer, n);
        return seen.size() > before;
    }
    // Waits until `count` of the datagrams seen hold `text`.
    bool wait_for(const std::string& text, long count = 1) {
        return wait_until([&] {
            take();
            return std::count_if(seen.begin(), seen.end(), [&](auto& m) { return m.find(text) != std::string::npos; }) >= count;
        }, 60s);
    }

    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const std::string path = "/tmp/orvalis-notify-" + std::to_string(getpid());
    std::vector<std::string> seen;
};

TEST(ServiceNotify, FeedsStopWhileTheMainLoopIsBlockedAndGoOnWhileTheStatusStaysTheSame) {
    NotifySocket manager;
    setenv("NOTIFY_SOCKET", manager.path.c_str(), 1);
    setenv("WATCHDOG_USEC", "3000000", 1);
    unsetenv("WATCHDOG_PID");
    {
        platform::ServiceNotifier notifier([] { return std::string("1 pagina"); });
        // A thread that locks up: were the feeds sent from anywhere but this loop, they would come.
        std::this_thread::sleep_for(2500ms);
        EXPECT_FALSE(manager.take());
        // The first feed comes with the first status; the later ones with none.
        EXPECT_TRUE(manager.wait_for("WATCHDOG=1", 3));
    }
    unsetenv("NOTIFY_SOCKET");
    unsetenv("WATCHDOG_USEC");
}

// The dynamic loader that starts this program, as `ld.so program` would name it.
std::string dynamic_loader() {
    std::string found;
    dl_iterate_phdr([](dl_phdr_info* info, size_t, void* loader) {
        for (int i = 0; i < info->dlpi_phnum; ++i)
            if (info->dlpi_phdr[i].p_type == PT_INTERP)
                *static_cast<std::string*>(loader) = reinterpret_cast<const char*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
        return 1;  // the program itself comes first
    }, &found);
    return found;
}

// A wall's pages on a local server; its settings and XDG folders in a home of the test's own.
class WallTest : public ::testing::Test {
protected:
    // A settings file naming the four addresses, every offset 0.
    fs::path settings(const std::string& name, const std::vector<std::string>& addresses) {
        std::string lines;
        for (int i = 0; i < 8; ++i) lines += " 0 \r\n";
        for (const auto& address : addresses) lines += address + "\r\n";
        return write_file(home / name, lines);
    }
    // The environment of the program's runs: XDG folders under home, and changes after them.
    std::vector<std::string> env(std::vector<std::string> changes = {}) const {
        changes.insert(changes.begin(), {"XDG_DATA_HOME=" + (home / "data").string(),
                                         "XDG_CACHE_HOME=" + (home / "cache").string(),
                                         "XDG_CONFIG_HOME=" + (home / "config").string()});
        return changes;
    }
    // The program on a settings file, in the background.
    RunningProgram wall(const fs::path& settings_file, const std::vector<std::string>& env_changes = {},
                        std::vector<std::string> args = {}) const {
        args.insert(args.begin(), {ORVALIS_PROGRAM, "--config", settings_file.string()});
        return RunningProgram(args, env(env_changes));
    }

    // The program on the settings file `config`, run to its end; over ssh there is no display.
    ProgramRun run(std::vector<std::string> args, bool display = true) const {
        args.insert(args.begin(), {ORVALIS_PROGRAM, "--config", config.string()});
        return run_program(args, env(display ? std::vector<std::string>{} : std::vector<std::string>{"DISPLAY"}));
    }
    // As from a shell: gapplication action "$(orvalis --config F --app-id)" NAME [PARAMETER]. Its exit
    // status says only whether the wall knew the action: what the action did is what tells.
    void action(const std::string& name, const std::string& parameter = "") { run_program(wall_call("action", name, parameter)); }
    std::vector<std::string> wall_call(const std::string& verb, const std::string& name, const std::string& parameter = "") {
        if (app_id.empty()) app_id = run({"--app-id"}).out;
        app_id = app_id.substr(0, app_id.find('\n'));
        if (verb == "list")
            return {"gdbus", "call", "--session", "--dest", app_id, "--object-path", platform::wall_object_path(app_id),
                    "--method", "org.gtk.Actions.List"};
        std::vector<std::string> args{"gapplication", verb, app_id, name};
        if (!parameter.empty()) args.push_back(parameter);
        return args;
    }
    bool zoom_file_holds(const std::vector<std::string>& keys) const {
        return wait_until([&] {
            const std::string text = file_text(config.string() + ".zoom");
            return std::all_of(keys.begin(), keys.end(), [&](auto& key) { return text.find(key) != std::string::npos; });
        }, 30s);
    }
    // Waits, asking no more than a few times a second, until --status holds `part` on pane n's line.
    bool status_shows(int n, const std::string& part) const {
        auto next = std::chrono::steady_clock::now();
        return wait_until([&] {
            if (std::chrono::steady_clock::now() < next) return false;
            next += 300ms;
            const ProgramRun status = run({"--status"}, false);
            const auto line = status.out.find(std::to_string(n) + " " + server.url(""));
            return status.status == 0 && line != std::string::npos &&
                   status.out.find(part, line) < status.out.find('\n', line);
        }, 60s);
    }

    TempFolder temp{"orvalis-walls"};
    const fs::path& home = temp.path();
    LocalHttpServer server;
    fs::path config;
    std::string app_id;
};

TEST_F(WallTest, ActionsStatusASecondStartAndTheServiceManagerReachTheRunningWall) {
    for (const char* path : {"/1", "/2", "/3", "/4", "/other"}) server.serve(path, "text/html", std::string("<p>") + path);
    config = settings("sala.cfg", {server.url("/1"), server.url("/2"), server.url("/3"), server.url("/4")});

    // Logins in a file others may read are not read, and the line that says so holds no password.
    fs::create_directories(home / "config" / "orvalis");
    fs::permissions(write_file(home / "config" / "orvalis" / "credenziali", "[http://x]\nUtente=u\nPassword=pw-9\n"),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);

    // Started as from ssh or a service: the display named on the command line only.
    auto manager = std::make_unique<NotifySocket>();
    RunningProgram running =
        wall(config, {"DISPLAY", "NOTIFY_SOCKET=" + manager->path, "WATCHDOG_USEC=30000000", "WATCHDOG_PID"},
             {"--display=" + std::string(std::getenv("DISPLAY"))});
    // The actions are there as soon as the id is, though the window is still being built.
    ProgramRun listed;
    ASSERT_TRUE(wait_until([&] { return (listed = run_program(wall_call("list", ""))).status == 0 || running.ended(); }, 60s));
    EXPECT_THAT(listed.out, HasSubstr("reload-settings")) << running.err();
    ASSERT_TRUE(manager->wait_for("READY=1")) << running.err();
    EXPECT_THAT(running.err(), AllOf(HasSubstr("credenziali non letto: altri possono leggerlo"),
                                     ::testing::Not(HasSubstr("pw-9"))));
    EXPECT_THAT(manager->seen, Contains(AllOf(HasSubstr("READY=1"), HasSubstr("STATUS=4 pagine"))));
    // Nothing reads the feeds from here on, and ten unread ones would hold up the wall's sending.
    manager.reset();
    for (int n = 1; n <= 4; ++n)
        ASSERT_TRUE(status_shows(n, "/" + std::to_string(n) + " aggiornata alle "))
            << run({"--status"}).out << running.err();

    // A second start hands over to the running wall and loads nothing itself.
    const int loads_of_1 = server.request_count("/1");
    EXPECT_EQ(run({}).status, 0);
    EXPECT_EQ(server.request_count("/1"), loads_of_1);
    // The default wall is another wall: it is not running.
    EXPECT_EQ(run_program({ORVALIS_PROGRAM, "--status"}, {"DISPLAY"}).status, 1);

    action("refresh-pane", "1");
    EXPECT_TRUE(wait_until([&] { return server.request_count("/1") > loads_of_1; }, 30s));
    action("navigate", "(2, '" + server.url("/other") + "')");
    EXPECT_TRUE(status_shows(2, "/other aggiornata alle "));
    // A zoom from afar goes to the nearest step and is kept as one from the keys is.
    action("zoom", "(3, 0.74)");
    // A wall that stopped answering here would make each action below wait out D-Bus's time-out.
    ASSERT_TRUE(zoom_file_holds({"Finestra3=75"})) << running.err();

    // Out of range: one line each on the wall's standard error, and nothing changes.
    for (const auto& [name, parameter] : {std::pair<std::string, std::string>{"refresh-pane", "5"},
                                          {"navigate", "(0, 'http://x/')"}, {"navigate", "(3, '')"}})
        action(name, parameter);
    const auto complaints = AllOf(HasSubstr("indirizzo è vuoto"), HasSubstr("il riquadro 5 non esiste"),
                                  HasSubstr("il riquadro 0 non esiste"));
    EXPECT_TRUE(wait_until([&] { return Matches(complaints)(running.err()); }, 30s)) << running.err();

    // The settings file's addresses come back; the address navigated to was never saved. A pane
    // already on its address keeps its page, and every pane its zoom, kept in the same file.
    const int loads_before_reload = server.request_count("/1");
    action("reload-settings");
    EXPECT_TRUE(status_shows(2, "/2 aggiornata alle "));
    EXPECT_EQ(server.request_count("/1"), loads_before_reload);
    action("zoom", "(1, 1.5)");
    EXPECT_TRUE(zoom_file_holds({"Finestra1=150", "Finestra2=100", "Finestra3=75", "Finestra4=100"})) << running.err();

    // Darkened from afar, the wall says so below its panes until it is lit again.
    action("screen", "false");
    EXPECT_THAT(run({"--status"}, false).out, HasSubstr("\nschermo spento\n")) << running.err();
    action("screen", "true");
    EXPECT_THAT(run({"--status"}, false).out, Not(HasSubstr("schermo spento")));

    // Stopped as the service manager stops it: the zoom of the last moment is written, and it exits 0.
    action("zoom", "(4, 0.5)");
    EXPECT_EQ(running.end(SIGTERM), 0) << running.err();
    EXPECT_THAT(file_text(config.string() + ".zoom"), AllOf(HasSubstr("Finestra1=150"), HasSubstr("Finestra4=50")));
}

// Started through the dynamic loader (as valgrind and qemu-user start it too), told of a bus that has
// gone, or of none at all where dbus-launch could start one: the wall shows its pages and starts no bus.
TEST_F(WallTest, ThroughTheLoaderOrWithABusGoneOrNoneTheWallShowsItsPagesAndStartsNoBus) {
    server.serve("/1", "text/html", "<p>1");
    config = settings("sala.cfg", {server.url("/1"), "about:blank", "about:blank", "about:blank"});
    const auto shown_with = [&](const std::vector<std::string>& env_changes, const std::string& loader = "") {
        const int before = server.request_count("/1");
        std::vector<std::string> argv{ORVALIS_PROGRAM, "--config", config.string()};
        if (!loader.empty()) argv.insert(argv.begin(), loader);
        RunningProgram started(argv, env(env_changes));
        EXPECT_TRUE(wait_until([&] { return server.request_count("/1") > before || started.ended(); }, 60s));
        EXPECT_FALSE(started.ended()) << started.err();
        return started.err();
    };
    shown_with({}, dynamic_loader());
    const std::string gone = "unix:path=" + (home / "gone" / "bus").string();
    EXPECT_THAT(shown_with({"DBUS_SESSION_BUS_ADDRESS=" + gone}), HasSubstr("il bus di sessione " + gone + " non risponde"));
    EXPECT_THAT(shown_with({"AT_SPI_BUS_ADDRESS=" + gone}), HasSubstr("il bus dell'accessibilità " + gone + " non risponde"));
    const fs::path runtime = home / "runtime";
    fs::create_directory(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    EXPECT_THAT(shown_with({"DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR=" + runtime.string(), "HOME=" + home.string()}),
                HasSubstr("nessun bus di sessione"));
    // dbus-launch keeps the address of each bus it starts in the home folder.
    EXPECT_FALSE(fs::exists(home / ".dbus"));
}

TEST_F(WallTest, LoginOutlivesAPowerCutLogoutStaysAndEachWallHasItsOwn) {
    server.serve("/board", [answers = std::make_shared<std::atomic<int>>(0)] {
        LocalHttpServer::Response response{200, "text/html", "<title>board</title>"};
        const int answer = ++*answers;
        if (answer == 1)  // the login
            response.headers = {{"Set-Cookie", "tessera=1; Max-Age=86400"}, {"Set-Cookie", "sessione=2"}};
        else if (answer == 2)  // the logout
            response.headers = {{"Set-Cookie", "sessione=; Max-Age=0"}};
        return response;
    });
    const std::vector<std::string> board{server.url("/board"), "about:blank", "about:blank", "about:blank"};
    const fs::path hall = settings("sala.cfg", board), office = settings("ufficio.cfg", board);
    const fs::path data =
        website_data_folders(hall, home / "data", home / "cache", home / "config", "org.orvalis.Orvalis").data;
    const auto holds = [&](const char* file, const char* text) {
        return file_text(data / file).find(text) != std::string::npos;
    };
    // The cookies a run's first request for the board carried, the run ended once `settled` holds.
    const auto cookies_of_run = [&](const fs::path& settings_file, const std::vector<std::string>& env_changes = {},
                                    const std::function<bool()>& settled = {}) {
        const int before = server.request_count("/board");
        RunningProgram run = wall(settings_file, env_changes);
        const bool asked = wait_until([&] { return server.request_count("/board") > before; }, 60s);
        EXPECT_TRUE(!settled || wait_until(settled, 30s)) << run.err();
        return asked ? server.cookies_sent("/board") : "<no request>";
    };
    {
        RunningProgram run = wall(hall);
        const auto logged_in = [&] { return holds("cookie-di-sessione", "sessione") && holds("cookies.sqlite", "tessera"); };
        ASSERT_TRUE(wait_until(logged_in, 60s)) << run.err();
        run.end(SIGKILL);
    }
    for (const char* file : {"cookies.sqlite", "cookie-di-sessione"})
        EXPECT_EQ(fs::status(data / file).permissions(), fs::perms(0600)) << file;
    // Back after the cut: logged in, then logged out by the page itself.
    EXPECT_THAT(cookies_of_run(hall, {}, [&] { return !holds("cookie-di-sessione", "sessione"); }),
                AllOf(HasSubstr("tessera=1"), HasSubstr("sessione=2")));
    EXPECT_EQ(cookies_of_run(hall), "tessera=1") << "the logout did not last";
    EXPECT_EQ(cookies_of_run(office), "") << "two walls share a login";

    // A data folder that cannot be made: the page shows all the same.
    EXPECT_EQ(cookies_of_run(hall, {"XDG_DATA_HOME=/proc/orvalis"}), "");
}

}  // namespace
