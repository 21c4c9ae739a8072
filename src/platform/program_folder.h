#pragma once
// The folder that holds the running executable, without a trailing separator.

#include <filesystem>

namespace platform {

std::filesystem::path program_folder();

}  // namespace platform
