#include "main_window/launcher.h"

#include <filesystem>
#include <system_error>

std::optional<LaunchCommand> launcher_command(const std::string& path) {
    if (path.empty()) return std::nullopt;
    const std::filesystem::path program(path);
    if (!program.has_parent_path()) return LaunchCommand{{path}, {}};

    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(program, error);
    if (error) full = program;
    return LaunchCommand{{full.string()}, full.parent_path().string()};
}
