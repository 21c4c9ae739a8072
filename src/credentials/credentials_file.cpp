#include "credentials/credentials_file.h"

#include <glib.h>

#include <algorithm>
#include <memory>

#include "credentials/origin.h"
#include "credentials/private_file.h"
#include "text/address_text.h"

namespace credentials {
namespace {

Credentials kept;

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

ReadCredentials read_credentials(const std::filesystem::path& user_file,
                                 const std::optional<std::filesystem::path>& credentials_directory) {
    ReadCredentials read;
    // The systemd credential first: its groups win over the user's file.
    if (credentials_directory) {
        const auto file = *credentials_directory / kSystemdCredential;
        auto placed = read_systemd_credential(file);
        if (placed.text) {
            take_groups(*placed.text, file.string(), read.credentials, read.complaints);
            std::fill(placed.text->begin(), placed.text->end(), '\0');
        }
    }
    auto own = read_private_file(user_file);
    if (!own.text) {
        if (!own.missing) read.complaints.push_back("orvalis: " + user_file.string() + " non letto: " + own.refusal);
        return read;
    }
    take_groups(*own.text, user_file.string(), read.credentials, read.complaints);
    std::fill(own.text->begin(), own.text->end(), '\0');
    return read;
}

std::filesystem::path user_credentials_file() {
    return std::filesystem::path(g_get_user_config_dir()) / "orvalis" / "credenziali";
}

void keep_credentials(Credentials credentials) { kept = std::move(credentials); }

const Credentials& wall_credentials() { return kept; }

}  // namespace credentials
