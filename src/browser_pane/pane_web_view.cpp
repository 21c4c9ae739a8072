#include "browser_pane/pane_web_view.h"

#include <cstdio>
#include <optional>
#include <string>

#include "browser_pane/recovery/page_memory.h"
#include "browser_pane/website_data/web_context.h"

namespace {

// Whether bubblewrap can build what WebKit's page sandbox is built from: the
// namespaces, and a new /proc and /dev mounted as WebKit mounts them (a container
// that covers part of /proc lets the namespaces be made but refuses a new /proc to
// an ordinary user). Where it cannot, WebKit does not fall back: its first page
// process fails to start and WebKit ends the whole program. So ask once, before the
// first page process: one short run of bwrap, a few milliseconds. Nothing when it
// can; else what bubblewrap said.
std::optional<std::string> sandbox_refusal() {
    const char* argv[] = {"/usr/bin/bwrap", "--ro-bind", "/", "/", "--proc", "/proc", "--dev", "/dev",
                          "--tmpfs", "/tmp", "--unshare-pid", "--unshare-ipc", "--unshare-uts",
                          "--unshare-net", "--unshare-cgroup-try", "--die-with-parent", "/bin/true", nullptr};
    gint status = 0;
    gchar* said = nullptr;
    GError* error = nullptr;
    if (!g_spawn_sync(nullptr, const_cast<char**>(argv), nullptr, G_SPAWN_STDOUT_TO_DEV_NULL, nullptr, nullptr,
                      nullptr, &said, &status, &error)) {
        std::string reason = error->message;
        g_error_free(error);
        return reason;
    }
    std::string reason = said ? g_strstrip(said) : "";
    g_free(said);
    if (g_spawn_check_wait_status(status, nullptr)) return std::nullopt;
    if (const auto end = reason.find('\n'); end != std::string::npos) reason.resize(end);
    return reason.empty() ? "bwrap failed" : reason;
}

// Pages run in WebKit's sandbox: each page process in namespaces of its own, seeing
// no home folder, no other process, nothing writable but its own temporary space.
// file:// pages load all the same, since WebKit reads them outside the page process.
void enable_sandbox(WebKitWebContext* context) {
    const auto refusal = sandbox_refusal();
    if (!refusal) {
        webkit_web_context_set_sandbox_enabled(context, TRUE);
        return;
    }
    std::fprintf(stderr,
                 "orvalis: pages run without a sandbox: bubblewrap (/usr/bin/bwrap) cannot build it here (%s); "
                 "where user namespaces are off: sysctl -w kernel.unprivileged_userns_clone=1 "
                 "user.max_user_namespaces=15000 (and, where AppArmor restricts them, "
                 "kernel.apparmor_restrict_unprivileged_userns=0); in a container, a /proc not partly covered\n",
                 refusal->c_str());
}

// How often a page process measures itself against its limit. Measuring reads the
// process's memory maps, so not every second; a page past its limit lives at most this long.
constexpr double kMemoryPollSeconds = 5;

// The program has no place for files: every download stops as it starts.
void refuse_download(WebKitWebContext*, WebKitDownload* download, gpointer) {
    webkit_download_cancel(download);
}

WebKitWebContext* shared_context() {
    static WebKitWebContext* const context = [] {
        // WebKit follows GTK's overlay scrolling in every page: after each load and
        // each scroll an overlay scrollbar shows and fades, and the fade redraws the
        // whole pane for about fifteen seconds (a fifth of a core for four panes).
        // Classic scrollbars stay still; the program's own scrolled windows get them too.
        if (GtkSettings* gtk = gtk_settings_get_default())
            g_object_set(gtk, "gtk-overlay-scrolling", FALSE, nullptr);
        // A page that leaks, left for days, would take the whole machine: WebKit ends
        // its process past the limit, and the pane restarts it as after a crash.
        const PageMemoryLimit limit = page_memory_limit(g_getenv(kPageMemoryVariable));
        if (!limit.complaint.empty())
            std::fprintf(stderr, "%s\n", limit.complaint.c_str());
        WebKitMemoryPressureSettings* memory = webkit_memory_pressure_settings_new();
        webkit_memory_pressure_settings_set_memory_limit(memory, limit.mib);
        webkit_memory_pressure_settings_set_kill_threshold(memory, 1.0);
        webkit_memory_pressure_settings_set_poll_interval(memory, kMemoryPollSeconds);
        WebKitWebContext* created = new_wall_web_context(memory);
        webkit_memory_pressure_settings_free(memory);
        enable_sandbox(created);
        // Pages come back every two minutes: a moderate cache spares the network
        // without the large memory cache of the web-browser model.
        webkit_web_context_set_cache_model(created, WEBKIT_CACHE_MODEL_DOCUMENT_BROWSER);
        g_signal_connect(created, "download-started", G_CALLBACK(refuse_download), nullptr);
        return created;
    }();
    return context;
}

WebKitSettings* shared_settings() {
    static WebKitSettings* const settings = [] {
        WebKitSettings* created = webkit_settings_new();
        // No GPU on the machines this runs on; software rendering is also the most
        // predictable over days of reloads.
        webkit_settings_set_hardware_acceleration_policy(created,
                                                         WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
        // Panes reload and never go back: pages kept for going back only cost memory.
        webkit_settings_set_enable_page_cache(created, FALSE);
        webkit_settings_set_javascript_can_open_windows_automatically(created, FALSE);
        webkit_settings_set_enable_developer_extras(created, FALSE);
        return created;
    }();
    return settings;
}

}  // namespace

WebKitWebView* new_pane_web_view() {
    GObject* view = G_OBJECT(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", shared_context(),
                                          "settings", shared_settings(), nullptr));
    g_object_ref_sink(view);
    return WEBKIT_WEB_VIEW(view);
}
