// Real processes: the launcher entry's command started through GIO must run in the
// program's own folder, whatever blanks its path holds, and leave ours alone.

#include "platform/gio_process_launcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "main_window/launcher.h"
#include "support/wait_until.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Our live or unreaped child processes, as the kernel lists them per thread.
std::string our_children() {
    std::string all;
    for (const auto& task : fs::directory_iterator("/proc/self/task")) {
        std::stringstream children;
        children << std::ifstream(task.path() / "children").rdbuf();
        all += children.str();
    }
    return all;
}

class GioProcessLauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orvalis launcher XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = fs::canonical(pattern);
    }
    void TearDown() override { fs::remove_all(folder); }

    // A program that reports its working directory into result, atomically.
    fs::path write_reporting_script(const std::string& name) {
        const fs::path script = folder / name;
        const std::string partial = (folder / "result.partial").string();
        std::ofstream(script) << "#!/bin/sh\npwd -P > '" << partial << "' && mv '" << partial << "' '"
                              << result.string() << "'\n";
        fs::permissions(script, fs::perms::owner_all);
        return script;
    }

    fs::path folder;
    fs::path result = fs::temp_directory_path() / ("orvalis-launcher-result-" + std::to_string(getpid()));
    platform::GioProcessLauncher launcher;
};

TEST_F(GioProcessLauncherTest, ProgramRunsInItsOwnFolderAndOursStays) {
    fs::remove(result);
    const fs::path script = write_reporting_script("report dir.sh");
    const fs::path ours = fs::current_path();

    const auto command = launcher_command(script.string());
    ASSERT_TRUE(command);
    ASSERT_TRUE(launcher.start(command->argv, command->working_dir));
    ASSERT_TRUE(wait_until([&] { return fs::exists(result); }, 10s));

    std::stringstream reported;
    reported << std::ifstream(result).rdbuf();
    fs::remove(result);
    EXPECT_EQ(reported.str(), folder.string() + "\n");
    EXPECT_EQ(fs::current_path(), ours);
    // The main loop reaps the finished program: no zombie is left behind.
    EXPECT_TRUE(wait_until([] { return our_children().empty(); }, 10s)) << our_children();
}

TEST_F(GioProcessLauncherTest, WhatCannotStartReturnsFalse) {
    std::ofstream(folder / "not a program") << "plain text\n";
    const std::string missing = (folder / "no such program").string();
    const std::string plain = (folder / "not a program").string();

    EXPECT_FALSE(launcher.start({}, ""));
    EXPECT_FALSE(launcher.start({""}, ""));
    EXPECT_FALSE(launcher.start({missing}, folder.string()));
    EXPECT_FALSE(launcher.start({plain}, folder.string()));
    EXPECT_FALSE(launcher.start({"/bin/true"}, (folder / "no such folder").string()));
}

TEST_F(GioProcessLauncherTest, EmptyLauncherPathGivesNoCommand) { EXPECT_FALSE(launcher_command("")); }

TEST_F(GioProcessLauncherTest, UnknownAddressSchemeReturnsFalse) {
    EXPECT_FALSE(launcher.open_uri(""));
    EXPECT_FALSE(launcher.open_uri("orvalis-no-such-scheme:nowhere"));
}

}  // namespace
