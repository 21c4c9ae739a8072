#include "browser_pane/website_data/session_cookies.h"

#include <glibmm/main.h>
#include <sigc++/signal.h>
#include <webkit2/webkit2.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The network process answers in milliseconds; one that does not is given this long.
constexpr unsigned kRestoreLimitMs = 10000;

std::filesystem::path session_file;

// What waits for the cookies; a reply that comes after the wait was given up finds
// nothing waiting, and changes nothing.
struct Restore {
    int pending = 0;
    sigc::signal<void()> done;
    sigc::connection give_up;
};
std::shared_ptr<Restore> restoring;

void end_restore() {
    if (!restoring)
        return;
    const auto finished = std::move(restoring);
    finished->give_up.disconnect();
    finished->done.emit();
}

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
    // Whole or not at all, even through a power cut.
    g_file_set_contents_full(session_file.c_str(), lines.data(), static_cast<gssize>(lines.size()),
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

void cookie_added(GObject* manager, GAsyncResult* result, gpointer data) {
    const std::unique_ptr<std::shared_ptr<Restore>> restore(static_cast<std::shared_ptr<Restore>*>(data));
    webkit_cookie_manager_add_cookie_finish(WEBKIT_COOKIE_MANAGER(manager), result, nullptr);
    if (--(*restore)->pending == 0 && *restore == restoring)
        end_restore();
}

}  // namespace

void keep_session_cookies(WebKitCookieManager* manager, const std::filesystem::path& file) {
    session_file = file;
    const auto restore = std::make_shared<Restore>();
    for (SoupCookie* cookie : read_session_cookies(file)) {
        ++restore->pending;
        webkit_cookie_manager_add_cookie(manager, cookie, nullptr, cookie_added, new std::shared_ptr<Restore>(restore));
        soup_cookie_free(cookie);
    }
    if (restore->pending > 0) {
        restoring = restore;
        restore->give_up = Glib::signal_timeout().connect(
            [] {
                end_restore();
                return false;
            },
            kRestoreLimitMs);
    }
    g_signal_connect(manager, "changed", G_CALLBACK(on_cookies_changed), nullptr);
}

sigc::connection when_session_cookies_restored(const sigc::slot<void()>& work) {
    if (restoring)
        return restoring->done.connect(work);
    work();
    return {};
}
