#include "browser_pane/website_data/website_data.h"

#include <glib.h>

namespace {

std::optional<WebsiteDataFolders> kept;

}  // namespace

WebsiteDataFolders website_data_folders(const std::optional<std::filesystem::path>& named_settings,
                                        const std::filesystem::path& user_data, const std::filesystem::path& user_cache,
                                        const std::filesystem::path& user_config, const std::string& program_id) {
    WebsiteDataFolders folders{user_data / program_id, user_cache / program_id, user_config / "orvalis" / "certificati"};
    if (!named_settings)
        return folders;
    std::error_code ignored;
    const std::string resolved = std::filesystem::weakly_canonical(std::filesystem::absolute(*named_settings), ignored);
    gchar* digest = g_compute_checksum_for_string(G_CHECKSUM_SHA256, resolved.c_str(), -1);
    // The file's name, for whoever looks in the folder; the digest tells apart files of the same name.
    const std::string wall = named_settings->filename().string() + "-" + std::string(digest).substr(0, 16);
    g_free(digest);
    return {folders.data / "pareti" / wall, folders.cache / "pareti" / wall, folders.certificates};
}

void keep_website_data(const WebsiteDataFolders& folders) { kept = folders; }

const std::optional<WebsiteDataFolders>& kept_website_data() { return kept; }
