#include "options/wall_options.h"

#include <glib.h>

#include <memory>

namespace options {

std::vector<std::filesystem::path> option_files() {
    std::vector<std::filesystem::path> files;
    const gchar* const* system = g_get_system_config_dirs();
    std::size_t count = 0;
    while (system[count]) ++count;
    // The first of $XDG_CONFIG_DIRS matters most, so it is read last of them.
    while (count > 0) files.push_back(std::filesystem::path(system[--count]) / "orvalis" / "orvalis.conf");
    files.push_back(std::filesystem::path(g_get_user_config_dir()) / "orvalis" / "orvalis.conf");
    return files;
}

const std::map<std::string, std::string>& WallOptions::group(const std::string& name) const {
    static const std::map<std::string, std::string> none;
    const auto found = groups.find(name);
    return found == groups.end() ? none : found->second;
}

WallOptions read_wall_options(const std::vector<std::filesystem::path>& files) {
    WallOptions read;
    for (const auto& file : files) {
        std::unique_ptr<GKeyFile, decltype(&g_key_file_free)> keys(g_key_file_new(), &g_key_file_free);
        GError* error = nullptr;
        if (!g_key_file_load_from_file(keys.get(), file.c_str(), G_KEY_FILE_NONE, &error)) {
            if (!g_error_matches(error, G_FILE_ERROR, G_FILE_ERROR_NOENT))
                read.complaints.push_back("orvalis: " + file.string() + " non letto: " + error->message);
            g_error_free(error);
            continue;
        }
        gchar** groups = g_key_file_get_groups(keys.get(), nullptr);
        for (gchar** group = groups; *group; ++group) {
            gchar** names = g_key_file_get_keys(keys.get(), *group, nullptr, nullptr);
            for (gchar** name = names; name && *name; ++name) {
                gchar* value = g_key_file_get_string(keys.get(), *group, *name, &error);
                if (value) {
                    read.groups[*group][*name] = value;
                    g_free(value);
                } else {
                    read.complaints.push_back("orvalis: " + file.string() + ", [" + *group + "] " + *name + ": " +
                                              error->message);
                    g_clear_error(&error);
                }
            }
            g_strfreev(names);
        }
        g_strfreev(groups);
    }
    return read;
}

}  // namespace options
