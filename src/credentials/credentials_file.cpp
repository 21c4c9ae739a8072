#include "credentials/credentials_file.h"

#include <fcntl.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "credentials/origin.h"
#include "text/address_text.h"

namespace credentials {
namespace {

Credentials kept;

// The whole file, from the descriptor whose owner and mode were checked, so that
// nothing can be put in its place between the check and the read.
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

// Adds the groups of text that origins lacks; complaints name the file and the group,
// never a value.
void take_groups(const std::string& text, const std::string& file, Credentials& into,
                 std::vector<std::string>& complaints) {
    std::unique_ptr<GKeyFile, decltype(&g_key_file_free)> keys(g_key_file_new(), &g_key_file_free);
    // GLib's message would quote the line it stumbled on, which may hold a password.
    if (!g_key_file_load_from_data(keys.get(), text.data(), text.size(), G_KEY_FILE_NONE, nullptr)) {
        complaints.push_back("orvalis: " + file + " non letto: non è un file di chiavi ([origine], Utente=, Password=)");
        return;
    }
    gchar** groups = g_key_file_get_groups(keys.get(), nullptr);
    for (gchar** group = groups; *group; ++group) {
        const std::string origin = origin_key(*group);
        gchar* user = g_key_file_get_string(keys.get(), *group, "Utente", nullptr);
        gchar* password = g_key_file_get_string(keys.get(), *group, "Password", nullptr);
        if (origin.empty())
            complaints.push_back("orvalis: " + file + ", [" + text::address_without_credentials(*group) +
                                 "] non usato: il gruppo deve essere un'origine come https://host:porta");
        else if (!user || !password)
            complaints.push_back("orvalis: " + file + ", [" + origin + "] non usato: mancano Utente o Password");
        else
            into.by_origin.try_emplace(origin, Login{user, password});
        g_free(user);
        if (password) {
            // Not left lying in freed memory.
            std::fill_n(password, std::char_traits<char>::length(password), '\0');
            g_free(password);
        }
    }
    g_strfreev(groups);
}

}  // namespace

const Login* Credentials::find(const std::string& origin) const {
    const auto found = by_origin.find(origin_key(origin));
    return found == by_origin.end() ? nullptr : &found->second;
}

std::string file_refusal(uid_t owner, uid_t user, mode_t mode) {
    if (owner != user) return "appartiene a un altro utente (uid " + std::to_string(owner) + ")";
    if (mode & (S_IRWXG | S_IRWXO)) {
        char octal[8];
        std::snprintf(octal, sizeof octal, "%04o", static_cast<unsigned>(mode & 07777));
        return std::string("altri possono leggerlo o scriverlo (permessi ") + octal + "; chmod 600)";
    }
    return "";
}

ReadCredentials read_credentials(const std::filesystem::path& user_file,
                                 const std::optional<std::filesystem::path>& credentials_directory) {
    ReadCredentials read;
    if (credentials_directory) {
        const auto file = *credentials_directory / kSystemdCredential;
        gchar* text = nullptr;
        gsize length = 0;
        // systemd placed it and made it readable to this service alone, maybe owned by
        // root with an ACL for the user: its owner and mode say nothing here.
        if (g_file_get_contents(file.c_str(), &text, &length, nullptr)) {
            take_groups(std::string(text, length), file.string(), read.credentials, read.complaints);
            std::fill_n(text, length, '\0');
            g_free(text);
        }
    }
    const int fd = g_open(user_file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY, 0);
    if (fd < 0) {
        if (errno != ENOENT)
            read.complaints.push_back("orvalis: " + user_file.string() + " non letto: " + g_strerror(errno));
        return read;
    }
    struct stat status {};
    std::string refusal = ::fstat(fd, &status) != 0 ? g_strerror(errno)
                          : !S_ISREG(status.st_mode) ? "non è un file"
                                                     : file_refusal(status.st_uid, ::getuid(), status.st_mode);
    std::optional<std::string> text;
    if (refusal.empty() && !(text = read_all(fd))) refusal = g_strerror(errno);
    g_close(fd, nullptr);
    if (!refusal.empty()) {
        read.complaints.push_back("orvalis: " + user_file.string() + " non letto: " + refusal);
        return read;
    }
    take_groups(*text, user_file.string(), read.credentials, read.complaints);
    std::fill(text->begin(), text->end(), '\0');
    return read;
}

std::filesystem::path user_credentials_file() {
    return std::filesystem::path(g_get_user_config_dir()) / "orvalis" / "credenziali";
}

void keep_credentials(Credentials credentials) { kept = std::move(credentials); }

const Credentials& wall_credentials() { return kept; }

}  // namespace credentials
