#pragma once
// Which settings file a start reads, and which one the dialog's file chooser
// proposes first. A dati.cfg beside the program wins, so a checkout or a copied
// folder behaves as it always has; an installed program has none there and uses
// the user's own file under the XDG configuration folder; a file named on the
// command line replaces both. Reading the file is left to the start-up step.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace settings {

// $XDG_CONFIG_HOME/orvalis/dati.cfg, or $HOME/.config/orvalis/dati.cfg when the
// variable is unset, empty or not an absolute path (which the XDG rules say to ignore).
std::filesystem::path user_settings_file(std::string_view xdg_config_home, std::string_view home);

struct StartSettings {
    std::filesystem::path file;      // read at start
    std::filesystem::path proposal;  // the chooser's first proposal: `file` when it could be read or is
                                     // a named file not made yet, else the user's own
    std::string warning;             // one line for standard error when a named file cannot be read; else empty
};

// named_file: the --config value, relative to the current folder, resolved as the file system does.
StartSettings start_settings(const std::filesystem::path& program_folder, std::string_view xdg_config_home,
                             std::string_view home, const std::optional<std::filesystem::path>& named_file);

}  // namespace settings
