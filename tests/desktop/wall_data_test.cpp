// The program itself restarted as after a power cut: its pages are still logged in,
// a logout stays a logout, another wall on the machine has a login of its own, and a
// wall whose data folder cannot be written still shows its pages.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <glib.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>

#include "browser_pane/website_data.h"
#include "support/local_http_server.h"
#include "support/wait_until.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// One run of the program on a wall's settings file, with XDG folders under home.
class Wall {
public:
    Wall(const fs::path& home, const fs::path& settings, const fs::path& data_home) {
        // Everything made before the fork: the child of a threaded test only executes.
        gchar** env = g_get_environ();
        env = g_environ_setenv(env, "XDG_DATA_HOME", data_home.c_str(), TRUE);
        env = g_environ_setenv(env, "XDG_CACHE_HOME", (home / "cache").c_str(), TRUE);
        env = g_environ_setenv(env, "XDG_CONFIG_HOME", (home / "config").c_str(), TRUE);
        const char* argv[] = {ORVALIS_PROGRAM, "--config", settings.c_str(), nullptr};
        const int err = open((home / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        pid_ = fork();
        if (pid_ == 0) {
            dup2(err, STDERR_FILENO);
            execve(argv[0], const_cast<char**>(argv), env);
            _exit(127);
        }
        close(err);
        g_strfreev(env);
    }
    ~Wall() { power_cut(); }
    void power_cut() {
        if (pid_ > 0 && kill(pid_, SIGKILL) == 0)
            waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

class WallDataTest : public ::testing::Test {
protected:
    WallDataTest() {
        fs::create_directories(home);
        server.serve("/board", [answers = answers](const std::string&) {
            LocalHttpServer::Response response{200, "text/html", "<title>board</title>"};
            const int answer = ++*answers;
            if (answer == 1)  // the login
                response.headers = {{"Set-Cookie", "tessera=1; Max-Age=86400"}, {"Set-Cookie", "sessione=2"}};
            else if (answer == 2)  // the logout
                response.headers = {{"Set-Cookie", "sessione=; Max-Age=0"}};
            return response;
        });
    }
    ~WallDataTest() override { fs::remove_all(home); }

    fs::path settings(const std::string& name) {
        const fs::path file = home / name;
        std::ofstream out(file, std::ios::binary);
        for (int line = 0; line < 8; ++line) out << " 0 \r\n";
        out << server.url("/board") << "\r\nabout:blank\r\nabout:blank\r\nabout:blank\r\n";
        return file;
    }
    fs::path data_of(const fs::path& settings_file) {
        return website_data_folders(settings_file, home / "data", home / "cache", home / "config", "org.orvalis.Orvalis").data;
    }
    // The cookies the run's first request for the board carried.
    std::string cookies_of_run(const fs::path& settings_file, const fs::path& data_home) {
        const int before = server.request_count("/board");
        Wall wall(home, settings_file, data_home);
        if (!wait_until([&] { return server.request_count("/board") > before; }, 60s))
            return "<no request>";
        return server.cookies_sent("/board");
    }

    fs::path home = fs::temp_directory_path() / ("orvalis-walls-" + std::to_string(getpid()));
    std::shared_ptr<std::atomic<int>> answers = std::make_shared<std::atomic<int>>(0);
    LocalHttpServer server;
};

}  // namespace

TEST_F(WallDataTest, LoginOutlivesAPowerCutLogoutStaysAndEachWallHasItsOwn) {
    const fs::path hall = settings("sala.cfg"), office = settings("ufficio.cfg");
    const fs::path data = data_of(hall);
    {
        Wall wall(home, hall, home / "data");
        ASSERT_TRUE(wait_until([&] { return contents(data / "cookie-di-sessione").find("sessione") != std::string::npos &&
                                            contents(data / "cookies.sqlite").find("tessera") != std::string::npos; },
                               60s))
            << contents(home / "stderr");
        wall.power_cut();
    }
    for (const char* file : {"cookies.sqlite", "cookie-di-sessione"}) {
        struct stat status {};
        ASSERT_EQ(stat((data / file).c_str(), &status), 0) << file;
        EXPECT_EQ(status.st_mode & 0777, 0600u) << file;
    }
    {
        // Back after the cut: logged in, then logged out by the page itself.
        const int before = server.request_count("/board");
        Wall wall(home, hall, home / "data");
        ASSERT_TRUE(wait_until([&] { return server.request_count("/board") > before; }, 60s));
        const std::string sent = server.cookies_sent("/board");
        EXPECT_NE(sent.find("tessera=1"), std::string::npos) << sent;
        EXPECT_NE(sent.find("sessione=2"), std::string::npos) << sent;
        ASSERT_TRUE(wait_until([&] { return contents(data / "cookie-di-sessione").find("sessione") == std::string::npos; },
                               30s));
    }
    EXPECT_EQ(cookies_of_run(hall, home / "data"), "tessera=1") << "the logout did not last";
    EXPECT_EQ(cookies_of_run(office, home / "data"), "") << "two walls share a login";
    EXPECT_NE(data_of(office), data);

    // A data folder that cannot be made: the page shows all the same, and one line says where.
    EXPECT_EQ(cookies_of_run(hall, "/proc/orvalis"), "");
    const std::string complaint = contents(home / "stderr");
    EXPECT_NE(complaint.find("/proc/orvalis/org.orvalis.Orvalis/pareti/sala.cfg-"), std::string::npos) << complaint;
}
