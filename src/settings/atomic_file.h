#pragma once
// Replaces a file's whole content so that it never ends up half-written or empty:
// the bytes go to a temporary file in the same folder, are flushed to disk, and
// the temporary file is renamed over the target. On failure the old file is left
// as it was and the temporary file is removed. Choosing the content is left to
// the caller.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace settings {

// Nothing on success, otherwise the reason in Italian ("permesso negato"); a folder
// that takes no new file is named as the problem. An existing file keeps its
// permission bits, and its owner where we may give it; through a symbolic link, the link stays
// and the file it points to gets the new content, made when it is not there yet. A folder
// or a device is refused.
std::optional<std::string> replace_file_content(const std::filesystem::path& file,
                                                std::string_view content);

}  // namespace settings
