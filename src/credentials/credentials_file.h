#pragma once
// The users and passwords the wall logs in with, one group per origin:
//
//   [https://grafana.local:3000]
//   Utente=parete
//   Password=...
//
// from $XDG_CONFIG_HOME/orvalis/credenziali, read only when it belongs to the user and
// nobody else may read or write it, and from the systemd credential
// orvalis-credenziali, trusted as systemd placed it. Passwords are never part of a
// complaint.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace credentials {

struct Login {
    std::string user;
    std::string password;
};

struct Credentials {
    std::map<std::string, Login> by_origin;  // keyed by origin_key()
    // The login for this origin (any spelling origin_key() takes), or none.
    const Login* find(const std::string& origin) const;
};

struct ReadCredentials {
    Credentials credentials;
    std::vector<std::string> complaints;  // one line each, for standard error
};
// The systemd credential first, then the user's file for the origins it lacks. A file
// that is missing is no complaint; credentials_directory is $CREDENTIALS_DIRECTORY, when set.
ReadCredentials read_credentials(const std::filesystem::path& user_file,
                                 const std::optional<std::filesystem::path>& credentials_directory);

// $XDG_CONFIG_HOME/orvalis/credenziali.
std::filesystem::path user_credentials_file();
inline constexpr const char* kSystemdCredential = "orvalis-credenziali";

// Once at start, before the first pane: the logins every pane answers with.
void keep_credentials(Credentials credentials);
const Credentials& wall_credentials();

}  // namespace credentials
