#include "browser_pane/website_data/web_context.h"

#include <fcntl.h>
#include <glib/gstdio.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <filesystem>

#include "browser_pane/website_data/certificate_store.h"
#include "browser_pane/website_data/session_cookies.h"
#include "browser_pane/website_data/website_data.h"

namespace {

constexpr const char* kCookieStore = "cookies.sqlite";
constexpr const char* kSessionCookies = "cookie-di-sessione";

// Readable by the user alone: a cookie is as good as a password to whoever reads it.
bool make_private_file(const std::filesystem::path& file) {
    const int fd = g_open(file.c_str(), O_CREAT | O_WRONLY, 0600);
    if (fd < 0)
        return false;
    g_close(fd, nullptr);
    return g_chmod(file.c_str(), 0600) == 0;
}

}  // namespace

WebKitWebContext* new_wall_web_context(WebKitMemoryPressureSettings* memory) {
    const auto& kept = kept_website_data();
    if (!kept)
        return WEBKIT_WEB_CONTEXT(g_object_new(WEBKIT_TYPE_WEB_CONTEXT, "memory-pressure-settings", memory, nullptr));
    WebKitWebsiteDataManager* data = webkit_website_data_manager_new(
        "base-data-directory", kept->data.c_str(), "base-cache-directory", kept->cache.c_str(), nullptr);
    auto* context = WEBKIT_WEB_CONTEXT(g_object_new(WEBKIT_TYPE_WEB_CONTEXT, "memory-pressure-settings", memory,
                                                    "website-data-manager", data, nullptr));
    g_object_unref(data);
    trust_saved_certificates(context);
    const std::filesystem::path store = kept->data / kCookieStore;
    if (g_mkdir_with_parents(kept->data.c_str(), 0700) != 0 || !make_private_file(store)) {
        // Pages still show, logged out at every restart.
        std::fprintf(stderr, "orvalis: cookies are kept only until the program ends: cannot write in %s\n",
                     kept->data.c_str());
        return context;
    }
    WebKitCookieManager* cookies = webkit_web_context_get_cookie_manager(context);
    webkit_cookie_manager_set_persistent_storage(cookies, store.c_str(), WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
    keep_session_cookies(cookies, kept->data / kSessionCookies);
    return context;
}
