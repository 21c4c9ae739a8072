// Real processes: the launcher entry's program, started through GIO, runs in its
// own folder whatever blanks its path holds, and leaves ours alone.

#include "platform/gio_process_launcher.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "main_window/launcher.h"
#include "support/wait_until.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string first_line_of(const fs::path& file) {
    std::string line;
    std::getline(std::ifstream(file), line);
    return line;
}

class GioProcessLauncherTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(folder); }
    void TearDown() override { fs::remove_all(folder); }

    const fs::path folder = fs::temp_directory_path() / ("orvalis launcher " + std::to_string(getpid()));
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

}  // namespace
