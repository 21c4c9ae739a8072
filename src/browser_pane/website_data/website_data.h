#pragma once
// Where a wall keeps what its pages store (cookies, local storage, caches), so that a
// wall restarted after a power cut is still logged in everywhere. The default wall
// keeps the folders WebKit always gave the program; a wall started with a settings
// file of its own gets folders of its own, so that two walls on one machine never
// share a login. Cookies with an expiry live in WebKit's SQLite store; session cookies,
// which that store drops, are kept here in a file of their own, as a browser that
// restores its session keeps them.

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

// For the panes' own use, without WebKit's headers here.
typedef struct _WebKitWebContext WebKitWebContext;
typedef struct _WebKitMemoryPressureSettings WebKitMemoryPressureSettings;
typedef struct _GTlsCertificate GTlsCertificate;
// A new web context over the wall's data (WebKit's default without keep_website_data),
// with the cookies of the last run back in place and the saved certificates trusted
// before it returns.
WebKitWebContext* new_wall_web_context(WebKitMemoryPressureSettings* memory);

// Trusts certificate for host alone in context, and from the next start on when the
// data is kept. A certificate that cannot be saved is reported in one line on standard error.
void trust_certificate(WebKitWebContext* context, GTlsCertificate* certificate, const std::string& host);
// True when a certificate other than this one was trusted for host.
bool trusted_certificate_differs(GTlsCertificate* certificate, const std::string& host);
