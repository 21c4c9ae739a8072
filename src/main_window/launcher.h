#pragma once
// The command line of the menu's launcher entry: the program named by the whole
// path text, started in the folder that holds it. Starting it is left to a
// platform::ProcessLauncher.

#include <optional>
#include <string>
#include <vector>

struct LaunchCommand {
    std::vector<std::string> argv;
    std::string working_dir;  // empty: the caller's own
};

// Nothing for an empty path. The path is one argument as it stands, blanks and
// all; a relative path is made absolute against our current folder, since the
// child resolves it only after moving to its own folder. A bare name keeps our
// folder and is left to the launcher's program search.
std::optional<LaunchCommand> launcher_command(const std::string& path);
