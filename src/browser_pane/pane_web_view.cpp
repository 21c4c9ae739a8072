#include "browser_pane/pane_web_view.h"

#include "browser_pane/scroll_script.h"

namespace {

// The program has no place for files: every download stops as it starts.
void refuse_download(WebKitWebContext*, WebKitDownload* download, gpointer) {
    webkit_download_cancel(download);
}

WebKitWebContext* shared_context() {
    static WebKitWebContext* const context = [] {
        WebKitWebContext* created = webkit_web_context_new();
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

// Scroll writes run in a script world of their own. This empty script holds the
// world between writes; without it each write cost the page's process about 40%
// more time, as measured.
WebKitUserContentManager* shared_content() {
    static WebKitUserContentManager* const content = [] {
        WebKitUserContentManager* created = webkit_user_content_manager_new();
        WebKitUserScript* holder =
            webkit_user_script_new_for_world(";", WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                                             WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, kScrollWorld, nullptr,
                                             nullptr);
        webkit_user_content_manager_add_script(created, holder);
        webkit_user_script_unref(holder);
        return created;
    }();
    return content;
}

}  // namespace

WebKitWebView* new_pane_web_view() {
    GObject* view = G_OBJECT(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", shared_context(), "settings",
                                          shared_settings(), "user-content-manager", shared_content(), nullptr));
    g_object_ref_sink(view);
    return WEBKIT_WEB_VIEW(view);
}
