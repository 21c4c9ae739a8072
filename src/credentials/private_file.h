#pragma once
// Files that hold secrets: the logins file, the MQTT password. Such a file is read only
// when it belongs to the user and nobody else may read or write it, and through the
// descriptor whose owner and mode were checked, so that nothing can be put in its place
// between the check and the read. A service's systemd credential is read as it stands:
// systemd placed it for this service alone, maybe owned by root with an ACL for the user,
// so its owner and mode say nothing. No refusal ever holds what the file holds.

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>

namespace credentials {

// Why a file with this owner and mode must not be trusted with secrets; empty when it may.
std::string file_refusal(uid_t owner, uid_t user, mode_t mode);

struct SecretFile {
    std::optional<std::string> text;  // the whole file, when it could be read and trusted
    std::string refusal;              // else why not, for a line on standard error
    bool missing = false;             // there is no such file
};

SecretFile read_private_file(const std::filesystem::path& file);
SecretFile read_systemd_credential(const std::filesystem::path& file);

}  // namespace credentials
