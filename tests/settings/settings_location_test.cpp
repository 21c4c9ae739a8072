// Which file a start reads and which the file chooser proposes: beside the program,
// then the user's XDG folder, and a file named on the command line over both.

#include <gmock/gmock.h>

#include <tuple>

#include "settings/settings_location.h"
#include "support/files.h"

namespace {

namespace fs = std::filesystem;
using settings::start_settings;
using settings::user_settings_file;
using namespace testing;

TEST(SettingsLocation, UserFileFollowsXdgConfigHomeAndFallsBackToDotConfig) {
    EXPECT_EQ(user_settings_file("/etc/xdg-home", "/home/anna"), "/etc/xdg-home/orvalis/dati.cfg");
    EXPECT_EQ(user_settings_file("", "/home/anna"), "/home/anna/.config/orvalis/dati.cfg");
    // A relative XDG_CONFIG_HOME is invalid and ignored.
    EXPECT_EQ(user_settings_file("relative/conf", "/home/anna"), "/home/anna/.config/orvalis/dati.cfg");
}

class StartSettings : public ::testing::Test {
protected:
    TempFolder temp{"orvalis-location"};
    const fs::path root = temp.path(), program = root / "bin", xdg = root / "xdg";
    const fs::path beside = program / "dati.cfg", own = xdg / "orvalis" / "dati.cfg";
    void SetUp() override {
        fs::create_directories(program);
        fs::create_directories(own.parent_path());
    }
    static fs::path write(const fs::path& file) { return write_file(file, " 0 \r\n"); }
    settings::StartSettings start(const std::optional<fs::path>& named = std::nullopt) {
        return start_settings(program, xdg.string(), "/nonexistent-home", named);
    }
};

// With no file yet the user's own is read and proposed, in silence: a missing file starts empty.
TEST_F(StartSettings, BesideTheProgramOverTheUsersOwnAndANamedFileOverBothReportedOnceIfUnreadable) {
    for (const fs::path* written : {static_cast<const fs::path*>(nullptr), &own, &beside}) {
        if (written) write(*written);
        const auto s = start();
        const fs::path& expected = written == &beside ? beside : own;
        EXPECT_EQ(std::tuple(s.file, s.proposal, s.warning), std::tuple(expected, expected, ""));
    }
    const fs::path wall = write(root / "parete.cfg");
    auto s = start(wall);
    EXPECT_EQ(std::tuple(s.file, s.proposal, s.warning), std::tuple(wall, wall, ""));

    // Relative names are taken from the current folder, so the chooser gets a real folder;
    // ".." after a symbolic link leads beside the link's target, as the shell's cat would.
    EXPECT_EQ(start(fs::relative(wall, fs::current_path())).file, wall);
    fs::create_directories(root / "a" / "b");
    fs::create_directory_symlink(root / "a" / "b", root / "link");
    EXPECT_EQ(start(root / "link" / ".." / "parete.cfg").file, root / "a" / "parete.cfg");

    // Missing, or a folder: the start is empty (nothing else is read) and says why in one
    // line. A missing file is where a new wall's settings go, so it is proposed for saving.
    for (const fs::path& bad : {root / "manca.cfg", root / "bin"}) {
        s = start(bad);
        EXPECT_EQ(std::pair(s.file, s.proposal), std::pair(bad, bad == program ? own : bad));
        EXPECT_THAT(s.warning, AllOf(HasSubstr("\"" + bad.string() + "\": "), Not(HasSubstr("\n"))));
    }
}

}  // namespace
