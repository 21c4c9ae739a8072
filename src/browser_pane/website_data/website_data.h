#pragma once
// Where a wall keeps what its pages store (cookies, local storage, caches), so that a
// wall restarted after a power cut is still logged in everywhere. The default wall
// keeps the folders WebKit always gave the program; a wall started with a settings
// file of its own gets folders of its own, so that two walls on one machine never
// share a login.

#include <filesystem>
#include <optional>
#include <string>

struct WebsiteDataFolders {
    std::filesystem::path data;
    std::filesystem::path cache;
    // The certificates trusted by hand, one HOST.pem each, shared by every wall of the user.
    std::filesystem::path certificates;
};

// named_settings: the --config file, when one was named. user_data, user_cache and
// user_config: the XDG folders; program_id: the name the default data folders carry.
WebsiteDataFolders website_data_folders(const std::optional<std::filesystem::path>& named_settings,
                                        const std::filesystem::path& user_data, const std::filesystem::path& user_cache,
                                        const std::filesystem::path& user_config, const std::string& program_id);

// Once, before the first pane: pages keep their data in these folders from then on.
// Until it is called, they keep it wherever WebKit puts it by default, and cookies in memory.
void keep_website_data(const WebsiteDataFolders& folders);
// The folders given to keep_website_data; nothing before.
const std::optional<WebsiteDataFolders>& kept_website_data();
