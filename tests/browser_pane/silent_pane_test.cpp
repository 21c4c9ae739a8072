// A silent pane, as the wall screen's are, opens nothing of its own: a page's print
// request, file chooser, notification and permission request end at the pane, and
// nothing connected after it sees them. A pane that is not silent passes them on.

#include <gtest/gtest.h>
#include <webkit2/webkit2.h>

#include <functional>
#include <string>

#include "support/local_http_server.h"
#include "support/pane_probe.h"
#include "support/synthetic_click.h"
#include "support/wait_until.h"

namespace {

using namespace std::chrono_literals;

// Counts the view's emissions of one signal, and those that got past the pane's own
// handlers to one connected after them, which takes them so that nothing opens.
struct SignalWatch {
    SignalWatch(WebKitWebView* view, const char* name) : view(view), id(g_signal_lookup(name, WEBKIT_TYPE_WEB_VIEW)) {
        hook = g_signal_add_emission_hook(id, 0, +[](GSignalInvocationHint*, guint, const GValue* values, gpointer self) {
            auto* watch = static_cast<SignalWatch*>(self);
            if (g_value_get_object(&values[0]) == watch->view) ++watch->emitted;
            return gboolean{TRUE};
        }, this, nullptr);
        handler = g_signal_connect(view, name, G_CALLBACK(+[](WebKitWebView*, gpointer, gpointer self) {
            ++static_cast<SignalWatch*>(self)->reached;
            return gboolean{TRUE};
        }), this);
    }
    ~SignalWatch() {
        g_signal_remove_emission_hook(id, hook);
        g_signal_handler_disconnect(view, handler);
    }
    WebKitWebView* view;
    guint id;
    gulong hook = 0, handler = 0;
    int emitted = 0, reached = 0;
};

TEST(SilentPane, RefusesPrintingFileChoosersNotificationsAndPermissionRequests) {
    LocalHttpServer server;
    server.serve("/page", "text/html",
                 "<!DOCTYPE html><body style='margin:0'>"
                 "<input type=file style='position:fixed;left:0;top:0;width:100%;height:100%'>");
    const std::pair<const char*, std::function<void(BrowserPane&)>> asks[] = {
        {"print", [](BrowserPane& pane) { js(pane, "print(); 'asked'"); }},
        {"run-file-chooser", [](BrowserPane& pane) { click_at(pane.widget(), 100, 100); }},
        {"permission-request", [](BrowserPane& pane) { js(pane, "Notification.requestPermission(); 'asked'"); }},
        {"show-notification", [](BrowserPane& pane) { js(pane, "new Notification('Orvalis'); 'shown'"); }},
    };
    for (const bool silent : {true, false})
        for (const auto& [signal, ask] : asks) {
            SCOPED_TRACE(std::string(signal) + (silent ? ", silent" : ", not silent"));
            PaneInWindow shown;
            auto* view = WEBKIT_WEB_VIEW(page_view(shown.pane).gobj());
            // Notifications are shown only to pages the user allowed them.
            GList* allowed = g_list_append(nullptr, webkit_security_origin_new_for_uri(server.url("/").c_str()));
            webkit_web_context_initialize_notification_permissions(webkit_web_view_get_context(view), allowed, nullptr);
            g_list_free_full(allowed, reinterpret_cast<GDestroyNotify>(webkit_security_origin_unref));
            ASSERT_TRUE(navigate_and_wait(shown.pane, server.url("/page")));
            shown.pane.set_silent(silent);
            SignalWatch watch(view, signal);
            ask(shown.pane);
            ASSERT_TRUE(wait_until([&] { return watch.emitted > 0; }, 10s)) << "the page asked nothing";
            EXPECT_EQ(watch.reached > 0, !silent);
        }
}

}  // namespace
