// The program itself restarted as after a power cut: its pages are still logged in,
// a logout stays a logout, another wall on the machine has a login of its own, and a
// wall whose data folder cannot be written still shows its pages.

#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <memory>

#include "browser_pane/website_data/website_data.h"
#include "support/files.h"
#include "support/local_http_server.h"
#include "support/program_run.h"
#include "support/wait_until.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class WallDataTest : public ::testing::Test {
protected:
    WallDataTest() {
        server.serve("/board", [answers = answers] {
            LocalHttpServer::Response response{200, "text/html", "<title>board</title>"};
            const int answer = ++*answers;
            if (answer == 1)  // the login
                response.headers = {{"Set-Cookie", "tessera=1; Max-Age=86400"}, {"Set-Cookie", "sessione=2"}};
            else if (answer == 2)  // the logout
                response.headers = {{"Set-Cookie", "sessione=; Max-Age=0"}};
            return response;
        });
    }
    fs::path settings(const std::string& name) {
        std::string lines;
        for (int line = 0; line < 8; ++line) lines += " 0 \r\n";
        return write_file(home / name, lines + server.url("/board") + "\r\nabout:blank\r\nabout:blank\r\nabout:blank\r\n");
    }
    fs::path data_of(const fs::path& settings_file) {
        return website_data_folders(settings_file, home / "data", home / "cache", home / "config", "org.orvalis.Orvalis").data;
    }
    // The program on a wall's settings file, with XDG folders under home.
    RunningProgram wall(const fs::path& settings_file, const fs::path& data_home) {
        return RunningProgram({ORVALIS_PROGRAM, "--config", settings_file.string()}, {"XDG_DATA_HOME=" + data_home.string(),
                              "XDG_CACHE_HOME=" + (home / "cache").string(), "XDG_CONFIG_HOME=" + (home / "config").string()});
    }
    // The cookies the run's first request for the board carried; err gets what it said by then.
    std::string cookies_of_run(const fs::path& settings_file, const fs::path& data_home, std::string* err = nullptr) {
        const int before = server.request_count("/board");
        RunningProgram run = wall(settings_file, data_home);
        const bool asked = wait_until([&] { return server.request_count("/board") > before; }, 60s);
        if (err) *err = run.err();
        return asked ? server.cookies_sent("/board") : "<no request>";
    }

    TempFolder temp{"orvalis-walls"};
    const fs::path& home = temp.path();
    std::shared_ptr<std::atomic<int>> answers = std::make_shared<std::atomic<int>>(0);
    LocalHttpServer server;
};

}  // namespace

TEST_F(WallDataTest, LoginOutlivesAPowerCutLogoutStaysAndEachWallHasItsOwn) {
    const fs::path hall = settings("sala.cfg"), office = settings("ufficio.cfg");
    const fs::path data = data_of(hall);
    {
        RunningProgram run = wall(hall, home / "data");
        ASSERT_TRUE(wait_until([&] { return file_text(data / "cookie-di-sessione").find("sessione") != std::string::npos &&
                                            file_text(data / "cookies.sqlite").find("tessera") != std::string::npos; },
                               60s))
            << run.err();
        run.end(SIGKILL);
    }
    for (const char* file : {"cookies.sqlite", "cookie-di-sessione"})
        EXPECT_EQ(fs::status(data / file).permissions(), fs::perms(0600)) << file;
    {
        // Back after the cut: logged in, then logged out by the page itself.
        const int before = server.request_count("/board");
        RunningProgram run = wall(hall, home / "data");
        ASSERT_TRUE(wait_until([&] { return server.request_count("/board") > before; }, 60s));
        const std::string sent = server.cookies_sent("/board");
        EXPECT_NE(sent.find("tessera=1"), std::string::npos) << sent;
        EXPECT_NE(sent.find("sessione=2"), std::string::npos) << sent;
        ASSERT_TRUE(wait_until([&] { return file_text(data / "cookie-di-sessione").find("sessione") == std::string::npos; },
                               30s));
    }
    EXPECT_EQ(cookies_of_run(hall, home / "data"), "tessera=1") << "the logout did not last";
    EXPECT_EQ(cookies_of_run(office, home / "data"), "") << "two walls share a login";
    EXPECT_NE(data_of(office), data);

    // A data folder that cannot be made: the page shows all the same, and one line says where.
    std::string complaint;
    EXPECT_EQ(cookies_of_run(hall, "/proc/orvalis", &complaint), "");
    EXPECT_NE(complaint.find("/proc/orvalis/org.orvalis.Orvalis/pareti/sala.cfg-"), std::string::npos) << complaint;
}
