#include "main_window/launcher.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(LauncherCommand, EmptyPathStartsNothing) { EXPECT_FALSE(launcher_command("").has_value()); }

TEST(LauncherCommand, WholePathIsOneArgumentAndItsFolderTheWorkingDirectory) {
    struct Case {
        const char* path;
        const char* folder;
    };
    const Case cases[] = {
        {"/opt/Tavorinellovoce/tavorinello", "/opt/Tavorinellovoce"},
        {"/home/me/My Tools/run me.sh", "/home/me/My Tools"},
        {"/usr/bin/x", "/usr/bin"},
        {"/tool", "/"},
    };
    for (const auto& c : cases) {
        const auto command = launcher_command(c.path);
        ASSERT_TRUE(command) << c.path;
        EXPECT_EQ(command->argv, std::vector<std::string>{c.path});
        EXPECT_EQ(command->working_dir, c.folder);
    }
}

TEST(LauncherCommand, RelativePathIsAnchoredAtOurFolder) {
    const auto here = std::filesystem::current_path();
    const auto command = launcher_command("tools dir/app");
    ASSERT_TRUE(command);
    EXPECT_EQ(command->argv, std::vector<std::string>{(here / "tools dir/app").string()});
    EXPECT_EQ(command->working_dir, (here / "tools dir").string());
}

TEST(LauncherCommand, BareNameKeepsOurFolder) {
    const auto command = launcher_command("C:\\Programmi\\Tavorinellovoce\\tavorinello.exe");
    ASSERT_TRUE(command);
    EXPECT_EQ(command->argv, std::vector<std::string>{"C:\\Programmi\\Tavorinellovoce\\tavorinello.exe"});
    EXPECT_EQ(command->working_dir, "");
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
