// A wall driven from afar, through the real program on a session bus of the test's
// own: its actions, `--status` without a display, a second start of the same wall.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "support/files.h"
#include "support/local_http_server.h"
#include "support/program_run.h"
#include "support/wait_until.h"

namespace {

using namespace std::chrono_literals;

struct Wall {
    LocalHttpServer server;
    TempFolder folder{"orvalis-wall"};
    std::string config = (folder / "sala.cfg").string();

    Wall() {
        std::string lines;
        for (int i = 0; i < 8; ++i) lines += " 0 \r\n";
        for (const char* path : {"/1", "/2", "/3", "/4", "/other"}) {
            server.serve(path, "text/html", std::string("<p>") + path);
            if (std::string(path) != "/other") lines += server.url(path) + "\r\n";
        }
        for (int i = 0; i < 4; ++i) lines += " 1 \r\n";
        write_file(config, lines + "\r\n");
    }

    // The program on this wall's settings file; over ssh there is no display.
    ProgramRun run(std::vector<std::string> args, bool display = true) const {
        args.insert(args.begin(), {ORVALIS_PROGRAM, "--config", config});
        return run_program(args, display ? std::vector<std::string>{} : std::vector<std::string>{"DISPLAY"});
    }
    ProgramRun action(const std::string& name, const std::string& parameter = "") const {
        std::vector<std::string> args{"gapplication", "action", run({"--app-id"}).out, name};
        args[2].pop_back();  // the newline
        if (!parameter.empty()) args.push_back(parameter);
        return run_program(args);
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
};

TEST(WallControl, ActionsStatusAndASecondStartReachTheRunningWallOnly) {
    Wall wall;
    const ProgramRun none = wall.run({"--status"}, false);
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("nessuna parete in esecuzione"), std::string::npos) << none.err;

    // Started as from ssh or a service: the display named on the command line only.
    RunningProgram running({ORVALIS_PROGRAM, "--config", wall.config, "--display=" + std::string(std::getenv("DISPLAY"))},
                           {"DISPLAY"});
    for (int n = 1; n <= 4; ++n)
        ASSERT_TRUE(wall.status_shows(n, "/" + std::to_string(n) + " aggiornata alle "))
            << wall.run({"--status"}).out << running.err();
    // The default wall is another wall: it is not running.
    EXPECT_EQ(run_program({ORVALIS_PROGRAM, "--status"}, {"DISPLAY"}).status, 1);

    // A second start hands over to the running wall and loads nothing itself.
    const int loads_of_1 = wall.server.request_count("/1");
    EXPECT_EQ(wall.run({}).status, 0);
    EXPECT_EQ(wall.server.request_count("/1"), loads_of_1);
    EXPECT_FALSE(running.ended());

    EXPECT_EQ(wall.action("refresh-pane", "1").status, 0);
    EXPECT_TRUE(wait_until([&] { return wall.server.request_count("/1") > loads_of_1; }, 30s));
    EXPECT_EQ(wall.action("navigate", "(2, '" + wall.server.url("/other") + "')").status, 0);
    EXPECT_TRUE(wall.status_shows(2, "/other aggiornata alle "));
    // A zoom from afar goes to the nearest step and is kept as one from the keys is.
    EXPECT_EQ(wall.action("zoom", "(3, 0.74)").status, 0);
    EXPECT_TRUE(wait_until([&] { return file_text(wall.config + ".zoom").find("Finestra3=75") != std::string::npos; }, 30s))
        << file_text(wall.config + ".zoom");

    // Out of range: one line each on the wall's standard error, and nothing changes.
    for (const auto& [name, parameter] : {std::pair<std::string, std::string>{"refresh-pane", "5"},
                                          {"navigate", "(0, 'http://x/')"}, {"navigate", "(3, '')"}})
        EXPECT_EQ(wall.action(name, parameter).status, 0) << name;
    EXPECT_TRUE(wait_until([&] { return running.err().find("indirizzo è vuoto") != std::string::npos; }, 30s));
    EXPECT_NE(running.err().find("il riquadro 5 non esiste"), std::string::npos) << running.err();
    EXPECT_NE(running.err().find("il riquadro 0 non esiste"), std::string::npos) << running.err();
    // GLib refuses a parameter of the wrong type before the wall sees it.
    EXPECT_NE(wall.action("refresh-pane", "true").status, 0);

    // The settings file's addresses come back; the address navigated to was never saved.
    EXPECT_EQ(wall.action("reload-settings").status, 0);
    EXPECT_TRUE(wall.status_shows(2, "/2 aggiornata alle "));
    EXPECT_FALSE(running.ended());
}

}  // namespace
