#include "browser_pane/website_data/website_data.h"

#include <fcntl.h>
#include <glib/gstdio.h>
#include <webkit2/webkit2.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

std::optional<WebsiteDataFolders> kept;

constexpr const char* kCookieStore = "cookies.sqlite";
constexpr const char* kSessionCookies = "cookie-di-sessione";

// A field per tab, escaped, so that no value can break a line or a field.
std::string escaped(const char* text) {
    gchar* escaped_text = g_strescape(text ? text : "", nullptr);
    std::string copy = escaped_text;
    g_free(escaped_text);
    return copy;
}

std::string unescaped(const std::string& text) {
    gchar* plain = g_strcompress(text.c_str());
    std::string copy = plain;
    g_free(plain);
    return copy;
}

// Readable by the user alone: a cookie is as good as a password to whoever reads it.
bool make_private_file(const std::filesystem::path& file) {
    const int fd = g_open(file.c_str(), O_CREAT | O_WRONLY, 0600);
    if (fd < 0)
        return false;
    g_close(fd, nullptr);
    return g_chmod(file.c_str(), 0600) == 0;
}

void write_session_cookies(GObject* manager, GAsyncResult* result, gpointer) {
    GList* cookies = webkit_cookie_manager_get_all_cookies_finish(WEBKIT_COOKIE_MANAGER(manager), result, nullptr);
    std::string lines;
    for (GList* item = cookies; item; item = item->next) {
        auto* cookie = static_cast<SoupCookie*>(item->data);
        if (soup_cookie_get_expires(cookie))
            continue;  // the SQLite store keeps it
        // The domain as it is: without a leading dot the cookie stays host-only.
        lines += escaped(soup_cookie_get_name(cookie)) + '\t' + escaped(soup_cookie_get_value(cookie)) + '\t' +
                 escaped(soup_cookie_get_domain(cookie)) + '\t' + escaped(soup_cookie_get_path(cookie)) + '\t' +
                 (soup_cookie_get_secure(cookie) ? "1" : "0") + '\t' + (soup_cookie_get_http_only(cookie) ? "1" : "0") +
                 '\t' + std::to_string(soup_cookie_get_same_site_policy(cookie)) + '\n';
    }
    g_list_free_full(cookies, reinterpret_cast<GDestroyNotify>(soup_cookie_free));
    if (!kept)
        return;
    const std::string file = (kept->data / kSessionCookies).string();
    // Whole or not at all, even through a power cut.
    g_file_set_contents_full(file.c_str(), lines.data(), static_cast<gssize>(lines.size()),
                             G_FILE_SET_CONTENTS_CONSISTENT, 0600, nullptr);
}

void on_cookies_changed(WebKitCookieManager* manager, gpointer) {
    // Deletions too: a logout stays a logout after a restart.
    webkit_cookie_manager_get_all_cookies(manager, nullptr, write_session_cookies, nullptr);
}

std::vector<SoupCookie*> read_session_cookies(const std::filesystem::path& file) {
    std::vector<SoupCookie*> cookies;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, '\t');)
            fields.push_back(field);
        if (fields.size() != 7)
            continue;
        SoupCookie* cookie = soup_cookie_new(unescaped(fields[0]).c_str(), unescaped(fields[1]).c_str(),
                                             unescaped(fields[2]).c_str(), unescaped(fields[3]).c_str(), -1);
        soup_cookie_set_secure(cookie, fields[4] == "1");
        soup_cookie_set_http_only(cookie, fields[5] == "1");
        soup_cookie_set_same_site_policy(cookie, static_cast<SoupSameSitePolicy>(std::atoi(fields[6].c_str())));
        cookies.push_back(cookie);
    }
    return cookies;
}

// Every cookie back before the first page asks for one: the first load must already be logged in.
void restore_session_cookies(WebKitCookieManager* manager, const std::filesystem::path& file) {
    int pending = 0;
    for (SoupCookie* cookie : read_session_cookies(file)) {
        ++pending;
        webkit_cookie_manager_add_cookie(
            manager, cookie, nullptr,
            +[](GObject* source, GAsyncResult* result, gpointer count) {
                webkit_cookie_manager_add_cookie_finish(WEBKIT_COOKIE_MANAGER(source), result, nullptr);
                --*static_cast<int*>(count);
            },
            &pending);
        soup_cookie_free(cookie);
    }
    // The network process answers in milliseconds; one that never does must not keep the wall blank.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (pending > 0 && std::chrono::steady_clock::now() < give_up)
        g_main_context_iteration(nullptr, TRUE);
}

// A host names a file of the folder, and nothing outside it.
std::optional<std::filesystem::path> certificate_file(const std::string& host) {
    if (!kept || host.empty() || host.find('/') != std::string::npos || host.front() == '.')
        return std::nullopt;
    return kept->certificates / (host + ".pem");
}

void trust_saved_certificates(WebKitWebContext* context) {
    std::error_code missing;
    for (const auto& entry : std::filesystem::directory_iterator(kept->certificates, missing)) {
        if (entry.path().extension() != ".pem")
            continue;
        if (GTlsCertificate* certificate = g_tls_certificate_new_from_file(entry.path().c_str(), nullptr)) {
            webkit_web_context_allow_tls_certificate_for_host(context, certificate, entry.path().stem().c_str());
            g_object_unref(certificate);
        }
    }
}

}  // namespace

void trust_certificate(WebKitWebContext* context, GTlsCertificate* certificate, const std::string& host) {
    webkit_web_context_allow_tls_certificate_for_host(context, certificate, host.c_str());
    const auto file = certificate_file(host);
    if (!file)
        return;
    gchar* pem = nullptr;
    g_object_get(certificate, "certificate-pem", &pem, nullptr);
    const bool saved = pem && g_mkdir_with_parents(kept->certificates.c_str(), 0700) == 0 &&
                       g_file_set_contents(file->c_str(), pem, -1, nullptr);
    g_free(pem);
    if (!saved)
        std::fprintf(stderr, "orvalis: the certificate of %s is trusted only until the program ends: cannot write %s\n",
                     host.c_str(), file->c_str());
}

bool trusted_certificate_differs(GTlsCertificate* certificate, const std::string& host) {
    const auto file = certificate_file(host);
    if (!file)
        return false;
    GTlsCertificate* trusted = g_tls_certificate_new_from_file(file->c_str(), nullptr);
    const bool differs = trusted && !g_tls_certificate_is_same(trusted, certificate);
    if (trusted)
        g_object_unref(trusted);
    return differs;
}

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

WebKitWebContext* new_wall_web_context(WebKitMemoryPressureSettings* memory) {
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
    restore_session_cookies(cookies, kept->data / kSessionCookies);
    g_signal_connect(cookies, "changed", G_CALLBACK(on_cookies_changed), nullptr);
    return context;
}
