#include "credentials/private_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace credentials {
namespace {

std::optional<std::string> read_all(int fd) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) return std::nullopt;
        if (got == 0) return text;
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

SecretFile read_file(const std::filesystem::path& file, bool owner_only) {
    SecretFile read;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        read.missing = errno == ENOENT;
        read.refusal = std::strerror(errno);
        return read;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) read.refusal = std::strerror(errno);
    else if (!S_ISREG(status.st_mode)) read.refusal = "non è un file";
    else if (owner_only) read.refusal = file_refusal(status.st_uid, ::geteuid(), status.st_mode);
    if (read.refusal.empty() && !(read.text = read_all(fd))) read.refusal = std::strerror(errno);
    ::close(fd);
    return read;
}

}  // namespace

std::string file_refusal(uid_t owner, uid_t user, mode_t mode) {
    if (owner != user) return "appartiene a un altro utente (uid " + std::to_string(owner) + ")";
    if (mode & (S_IRWXG | S_IRWXO)) {
        char octal[8];
        std::snprintf(octal, sizeof octal, "%04o", static_cast<unsigned>(mode & 07777));
        return std::string("altri possono leggerlo o scriverlo (permessi ") + octal + "; chmod 600)";
    }
    return "";
}

SecretFile read_private_file(const std::filesystem::path& file) { return read_file(file, true); }

SecretFile read_systemd_credential(const std::filesystem::path& file) { return read_file(file, false); }

}  // namespace credentials
