#include "settings/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "settings/file_error_text.h"

namespace settings {
namespace {

std::atomic<unsigned> temp_counter{0};

// Kept short enough that the temporary name stays within the file system's limit
// even for a long target name.
std::string temp_name_for(const std::filesystem::path& target) {
    return "." + target.filename().string().substr(0, 120) + ".tmp-" + std::to_string(::getpid()) +
           "-" + std::to_string(++temp_counter);
}

bool write_all(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Makes the rename itself survive a power cut; the content is already safe, so a
// failure here is not worth reporting.
void sync_folder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Where a chain of symbolic links ends, though nothing is there yet: saving through
// a link whose target is still to be made makes the target and keeps the link.
std::filesystem::path final_link_target(std::filesystem::path path) {
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(path, ec)) break;
        const std::filesystem::path next = std::filesystem::read_symlink(path, ec);
        if (ec) break;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

bool is_folder_refusal(int error_number) {
    return error_number == EACCES || error_number == EPERM || error_number == EROFS;
}

// The new file takes the old one's place: the same owner where we may give it (as
// root, say, saving a user's file), the same permission bits in any case. Owner
// first, since a change of owner clears the set-id bits. Best effort: a file that
// keeps only its content is still a saved file.
void keep_owner_and_mode(int fd, const struct stat& old_file) {
    // Not allowed to give the file away, we may still keep its group.
    [[maybe_unused]] const bool owner_kept = ::fchown(fd, old_file.st_uid, old_file.st_gid) == 0 ||
                                             ::fchown(fd, static_cast<uid_t>(-1), old_file.st_gid) == 0;
    ::fchmod(fd, old_file.st_mode & 07777);
}

}  // namespace

std::optional<std::string> replace_file_content(const std::filesystem::path& file,
                                                std::string_view content) {
    std::filesystem::path target = file;
    struct stat old_file {};
    const bool existed = ::stat(file.c_str(), &old_file) == 0;
    if (existed) {
        if (S_ISDIR(old_file.st_mode)) return reason_for_errno(EISDIR);
        if (!S_ISREG(old_file.st_mode)) return "non è un file normale";
        std::error_code ec;
        auto resolved = std::filesystem::canonical(file, ec);
        if (!ec) target = resolved;
    } else if (errno != ENOENT) {
        return reason_for_errno(errno);
    } else {
        target = final_link_target(file);
    }

    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::filesystem::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder / temp_name_for(target);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && is_folder_refusal(errno)) return folder_reason(folder, errno);
        if (fd < 0 && errno != EEXIST) return reason_for_errno(errno);
    }
    if (fd < 0) return reason_for_errno(EEXIST);

    const auto give_up = [&](int error_number) {
        if (fd >= 0) ::close(fd);
        ::unlink(temp.c_str());
        return reason_for_errno(error_number);
    };
    if (existed) keep_owner_and_mode(fd, old_file);
    if (!write_all(fd, content) || ::fsync(fd) != 0) return give_up(errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) return give_up(errno);
    if (std::rename(temp.c_str(), target.c_str()) != 0) return give_up(errno);
    sync_folder(folder);
    return std::nullopt;
}

}  // namespace settings
