// The options a wall screen starts with: parsed in-process, and the real program's
// answers to --version, --help and wrong options, which must come before any window.

#include "platform/command_line.h"

#include "support/program_run.h"

#include <gtest/gtest.h>

#include <glibmm/optioncontext.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

platform::CommandLine parse(std::vector<std::string> args) {
    args.insert(args.begin(), "orvalis");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(args.size());
    char** p = argv.data();
    return platform::parse_command_line(argc, p);
}

TEST(CommandLine, ParsesTheWallScreenOptionsAndRefusesWhatItDoesNotKnow) {
    EXPECT_FALSE(parse({}).config);

    const auto wall = parse({"--fullscreen", "--timer", "--config", "parete 1.cfg"});
    EXPECT_TRUE(wall.fullscreen && wall.timer && wall.config == "parete 1.cfg");
    // GLib's own refusals, of an unknown option or a --config without its file, are the program's below.
    EXPECT_THROW(parse({"--timer", "stray"}), Glib::OptionError);
}

// The built program with one option, in a plain C locale and with no display to open.
ProgramRun run(const std::string& option) {
    return run_program({ORVALIS_PROGRAM, option}, {"LC_ALL=C", "HOME=/nonexistent", "DISPLAY", "WAYLAND_DISPLAY"});
}

TEST(CommandLine, TheProgramAnswersVersionAndHelpAndEndsWithStatusOneOnAWrongOption) {
    const ProgramRun version = run("--version");
    EXPECT_EQ(std::pair(version.status, version.out), std::pair(0, std::string("Orvalis 1.0.0\n")));

    // Had the program gone on to open a window, it would have said it has no display.
    const std::pair<const char*, const char*> wrong[] = {
        {"--bogus", "Unknown option --bogus\n"}, {"--config", "Missing argument for --config\n"},
        {"--config=", "--config vuole il nome di un file, non un testo vuoto\n"}};
    for (const auto& [option, message] : wrong) {
        const ProgramRun r = run(option);
        EXPECT_EQ(std::tuple(r.status, r.err, r.out), std::tuple(1, std::string(message), std::string())) << option;
    }
}

}  // namespace
