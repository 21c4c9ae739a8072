#pragma once
// Italian wording for the reasons a settings file could not be read or written,
// and a file name made safe to show in a message. Composing the whole message is
// left to the caller.

#include <filesystem>
#include <string>

namespace settings {

// The reason behind an errno value, in Italian ("permesso negato").
std::string reason_for_errno(int error_number);

// Why no file could be made in the folder, naming the folder: saving replaces the
// file with a new one, so a folder closed to new files fails even a writable file.
std::string folder_reason(const std::filesystem::path& folder, int error_number);

// The file's name as valid UTF-8 within double quotes, for messages: a Linux file
// name is any bytes, a message box takes only UTF-8.
std::string quoted_file_name(const std::filesystem::path& file);

}  // namespace settings
