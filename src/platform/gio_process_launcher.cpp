#include "platform/gio_process_launcher.h"

#include <giomm/appinfo.h>
#include <glibmm/error.h>
#include <glibmm/main.h>
#include <glibmm/spawn.h>
#include <glibmm/uriutils.h>

#include <cstdio>
#include <exception>

namespace platform {

bool web_address(const std::string& uri) {
    const std::string scheme = Glib::uri_parse_scheme(uri);
    return g_ascii_strcasecmp(scheme.c_str(), "http") == 0 || g_ascii_strcasecmp(scheme.c_str(), "https") == 0;
}

bool GioProcessLauncher::start(const std::vector<std::string>& argv, const std::string& working_dir) {
    if (argv.empty() || argv.front().empty()) return false;
    try {
        Glib::Pid pid{};
        Glib::spawn_async(working_dir, argv, Glib::SPAWN_SEARCH_PATH | Glib::SPAWN_DO_NOT_REAP_CHILD,
                          Glib::SlotSpawnChildSetup(), &pid);
        // Programs started from a window that stays open for days must not pile
        // up as zombies: the main loop collects each one when it exits.
        Glib::signal_child_watch().connect([](Glib::Pid ended, int) { Glib::spawn_close_pid(ended); },
                                           pid);
        return true;
    } catch (const Glib::Error&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

bool GioProcessLauncher::open_uri(const std::string& uri) {
    if (uri.empty()) return false;
    if (!web_address(uri)) {
        std::fprintf(stderr, "orvalis: %s not opened: only http and https addresses go to the browser\n", uri.c_str());
        return false;
    }
    // Finding the browser reads only local files; starting it talks to the session bus,
    // which may take its time, so that part never runs on the caller's thread.
    const std::string scheme = Glib::uri_parse_scheme(uri);
    if (scheme.empty() || !Gio::AppInfo::get_default_for_uri_scheme(scheme)) return false;
    try {
        Gio::AppInfo::launch_default_for_uri_async(uri, [uri](Glib::RefPtr<Gio::AsyncResult>& result) {
            try {
                Gio::AppInfo::launch_default_for_uri_finish(result);
            } catch (const Glib::Error& error) {
                std::fprintf(stderr, "orvalis: cannot open %s: %s\n", uri.c_str(), error.what().c_str());
            }
        });
        return true;
    } catch (const Glib::Error&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace platform
