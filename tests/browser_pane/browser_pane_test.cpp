// The WebKit pane on pages of a local server: scroll writes, new windows,
// and the silent guard: a silent pane, as the wall screen's are, opens nothing of its own.

#include <gtest/gtest.h>
#include <webkit2/webkit2.h>

#include <cmath>
#include <functional>

#include "support/local_http_server.h"
#include "support/pane_probe.h"
#include "support/synthetic_click.h"
#include "support/wait_until.h"

using namespace std::chrono_literals;

namespace {

const std::string kBig = "<body style='margin:0'><div style='width:3000px;height:3000px'></div>";

class BrowserPaneTest : public ::testing::Test {
protected:
    std::string js(const std::string& script) { return ::js(pane, script); }
    std::string scroll() { return scroll_offset(pane); }
    bool load(const std::string& path, const std::string& html) {
        server.serve(path, "text/html", html);
        return navigate_and_wait(pane, server.url(path));
    }

    LocalHttpServer server;
    PaneInWindow shown;
    BrowserPane& pane = shown.pane;
};

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

TEST_F(BrowserPaneTest, ScrollWritesReachTheScrollingElementInBothDocumentModes) {
    EXPECT_FALSE(pane.refresh(ReloadCause::schedule));  // nothing to reload or scroll yet
    EXPECT_FALSE(pane.set_body_scroll(10, 10));
    const std::pair<std::string, const char*> modes[] = {{"<!DOCTYPE html>" + kBig, "HTML"}, {kBig, "BODY"}};
    for (const auto& [html, scrolling_element] : modes) {
        SCOPED_TRACE(scrolling_element);
        ASSERT_TRUE(load("/" + std::string(scrolling_element), html));
        ASSERT_EQ(js("document.scrollingElement.tagName"), scrolling_element);
        ASSERT_TRUE(pane.set_body_scroll(30, 120));
        EXPECT_TRUE(pane.set_body_scroll(std::nullopt, 200));
        EXPECT_EQ(scroll(), "30,200");
        EXPECT_TRUE(pane.set_body_scroll(45, std::nullopt));
        EXPECT_FALSE(pane.set_body_scroll(NAN, 100));
        EXPECT_FALSE(pane.set_body_scroll(100, -INFINITY));
        EXPECT_EQ(scroll(), "45,200");
    }
}

TEST_F(BrowserPaneTest, SilentPaneAnswersDialogsUnseenAndReloadsAPageAskingToStay) {
    pane.set_silent(true);
    ASSERT_TRUE(load("/dialogs", "<script>answers = [alert(1), confirm(2), prompt(3, 4)].map(String)</script>"));
    EXPECT_EQ(js("answers.join()"), "undefined,false,null");

    ASSERT_TRUE(load("/leave", "<body style='height:2000px'><script>"
                               "onbeforeunload = e => { e.preventDefault(); e.returnValue = '?'; }</script>"));
    click_at(pane.widget(), 50, 50);  // engines ask before unloading only pages the user touched
    SignalWatch dialogs(WEBKIT_WEB_VIEW(page_view(pane).gobj()), "script-dialog");
    EXPECT_TRUE(pane.refresh(ReloadCause::schedule));
    EXPECT_TRUE(wait_for_load(pane));
    EXPECT_EQ(std::pair(dialogs.emitted, dialogs.reached), std::pair(1, 0));
}

TEST_F(BrowserPaneTest, NewWindowsAreHandedOnOnlyWhenClickedAndOnlyForTheWeb) {
    std::vector<std::string> opened_outside;
    pane.signal_new_window().connect([&](const std::string& address) { opened_outside.push_back(address); });
    ASSERT_TRUE(load("/links", "<body style='margin:0'><style>a{display:block;height:100px}</style>"
                               "<a href='/new' target='_blank'>new</a><a href='steam://run/1' target='_blank'>app</a>"
                               "<script>open('/unasked')</script>"));
    click_at(pane.widget(), 50, 150);  // a program on the wall, at one touch
    click_at(pane.widget(), 50, 50);
    ASSERT_TRUE(wait_until([&] { return !opened_outside.empty(); }, 10s));
    EXPECT_EQ(opened_outside, std::vector<std::string>{server.url("/new")});
    EXPECT_EQ(server.request_count("/new") + server.request_count("/unasked"), 0);
}

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
