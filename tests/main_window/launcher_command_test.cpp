#include "main_window/launcher.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(LauncherCommand, WholePathIsOneArgumentStartedInItsFolderAndAnEmptyOneStartsNothing) {
    EXPECT_FALSE(launcher_command(""));
    const auto here = std::filesystem::current_path();
    const std::string cases[][3] = {  // path, argv[0], working folder
        {"/tool", "/tool", "/"},
        {"tools dir/app", here / "tools dir/app", here / "tools dir"},  // the child moves before it looks
        {"C:\\Programmi\\tavorinello.exe", "C:\\Programmi\\tavorinello.exe", ""},  // a bare name: found on PATH
    };
    for (const auto& [path, program, folder] : cases) {
        const auto command = launcher_command(path);
        ASSERT_TRUE(command) << path;
        EXPECT_EQ(std::pair(command->argv, command->working_dir), std::pair(std::vector<std::string>{program}, folder));
    }
}

}  // namespace
