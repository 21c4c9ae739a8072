#pragma once
// The program's command-line options, parsed by GLib together with GTK's own
// (--display, --help-gtk, ...), so --help and the error messages are GLib's.
// Only the parsing: what each option does is left to the program's start.

#include <filesystem>
#include <optional>

namespace platform {

struct CommandLine {
    bool fullscreen = false;
    bool timer = false;
    bool version = false;
    bool status = false;  // asks the running wall how its panes stand, and ends
    bool app_id = false;  // prints the wall's application id, and ends
    std::optional<std::filesystem::path> config;
};

// Takes the options it knows out of argv. Throws Glib::OptionError for an unknown
// option, a missing or empty value or a stray argument. --help prints and ends the program.
CommandLine parse_command_line(int& argc, char**& argv);

}  // namespace platform
