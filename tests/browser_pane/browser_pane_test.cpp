// The WebKit pane on pages of a local server: odd addresses, scroll writes, the silent
// guard and new windows.

#include <gtest/gtest.h>
#include <gtkmm/window.h>

#include <cmath>
#include <future>
#include <memory>

#include "browser_pane/browser_pane.h"
#include "support/local_http_server.h"
#include "support/pane_probe.h"
#include "support/synthetic_click.h"
#include "support/wait_until.h"

using namespace std::chrono_literals;

namespace {

const char kHello[] = "<!DOCTYPE html><title>Hello</title>hi";
const std::string kBig = "<body style='margin:0'><div style='width:3000px;height:3000px'></div>";

class BrowserPaneTest : public ::testing::Test {
protected:
    BrowserPaneTest() {
        window.set_default_size(400, 300);
        window.add(pane.widget());
        window.show_all();
        server.serve("/hello", "text/html", kHello);
        BrowserPane::open_externally = [this](const std::string& address) { opened_outside.push_back(address); };
    }
    ~BrowserPaneTest() override { BrowserPane::open_externally = saved_open_; }

    std::string js(const std::string& script) { return script_result(pane, script).value_or("<no answer>"); }
    std::string scroll() { return js("(e => e.scrollLeft + ',' + e.scrollTop)(document.scrollingElement)"); }
    bool load(const std::string& path, const std::string& html) {
        server.serve(path, "text/html", html);
        return navigate_and_wait(pane, server.url(path));
    }

    LocalHttpServer server;
    Gtk::Window window;
    BrowserPane pane;  // after the window, so that it leaves the window first
    std::vector<std::string> opened_outside;
    std::function<void(const std::string&)> saved_open_ = BrowserPane::open_externally;
};

}  // namespace

TEST_F(BrowserPaneTest, OddAddressesReturnAtOnceAndLeaveThePaneUsable) {
    EXPECT_FALSE(pane.refresh());  // nothing to reload yet
    for (const std::string address : {"", "not a url", "\xff\xfe bytes", "http://127.0.0.1:1/nobody"}) {
        SCOPED_TRACE(address);
        pane.navigate(address);
        EXPECT_TRUE(wait_until([&] { return !pane.is_loading(); }, 20s));
        ASSERT_TRUE(navigate_and_wait(pane, server.url("/hello")));
        EXPECT_EQ(js("document.title"), "Hello");
    }
}

TEST_F(BrowserPaneTest, ScrollWritesReachTheScrollingElementInBothDocumentModes) {
    const std::pair<std::string, const char*> modes[] = {{"<!DOCTYPE html>" + kBig, "HTML"}, {kBig, "BODY"}};
    for (const auto& [html, scrolling_element] : modes) {
        SCOPED_TRACE(scrolling_element);
        ASSERT_TRUE(load("/" + std::string(scrolling_element), html));
        ASSERT_EQ(js("document.scrollingElement.tagName"), scrolling_element);
        ASSERT_TRUE(pane.set_body_scroll(30, 120));
        EXPECT_EQ(scroll(), "30,120");
        EXPECT_TRUE(pane.set_body_scroll(std::nullopt, 200));
        EXPECT_EQ(scroll(), "30,200");
        EXPECT_TRUE(pane.set_body_scroll(45, std::nullopt));
        EXPECT_FALSE(pane.set_body_scroll(NAN, 100));
        EXPECT_FALSE(pane.set_body_scroll(100, -INFINITY));
        EXPECT_EQ(scroll(), "45,200");
    }
}

TEST_F(BrowserPaneTest, ScrollWritesFailWithoutEffectUntilThePageHasLoaded) {
    EXPECT_FALSE(pane.set_body_scroll(10, 10));  // no document yet
    std::promise<void> release;
    server.serve("/slow.png", [held = release.get_future().share()](const std::string&) {
        held.wait_for(20s);
        return LocalHttpServer::Response{404, "text/plain", ""};
    });
    server.serve("/page", "text/html", "<!DOCTYPE html>" + kBig + "<img src='/slow.png'>");
    pane.navigate(server.url("/page"));  // returns while the page still loads
    ASSERT_TRUE(wait_until([&] { return server.request_count("/slow.png") == 1; }, 20s));
    ASSERT_TRUE(pane.is_loading());
    EXPECT_FALSE(pane.set_body_scroll(0, 100));
    EXPECT_EQ(scroll(), "0,0");
    release.set_value();
    ASSERT_TRUE(wait_until([&] { return !pane.is_loading(); }, 20s));
    EXPECT_TRUE(pane.set_body_scroll(0, 100));
    EXPECT_EQ(scroll(), "0,100");
}

TEST_F(BrowserPaneTest, RepeatedWritesBringBackAPageThatGrewOrWasScrolledAway) {
    // A pane skips writing offsets its page already holds; whatever changes that must
    // let a later write through.
    ASSERT_TRUE(load("/grows", "<!DOCTYPE html><body style='margin:0'><div id=d style='width:3000px;height:10px'>"));
    const auto tick_until = [&](const std::string& wanted) {
        return wait_until([&] { return pane.set_body_scroll(30, 900) && scroll() == wanted; }, 5s);
    };
    for (int tick = 0; tick < 4; ++tick)  // a few, so that a clamped write would count as held
        EXPECT_TRUE(tick_until("30,0")) << "clamped by a short page: " << scroll();
    js("document.getElementById('d').style.height = '3000px'; 'grown'");
    EXPECT_TRUE(tick_until("30,900")) << scroll();
    js("window.scrollTo(0, 5); 'moved'");
    EXPECT_TRUE(tick_until("30,900")) << scroll();
}

TEST_F(BrowserPaneTest, SilentPaneAnswersDialogsUnseenAndReloadsAPageAskingToStay) {
    pane.set_silent(true);
    ASSERT_TRUE(load("/dialogs", "<script>answers = [alert(1), confirm(2), prompt(3, 4)].map(String)</script>"));
    EXPECT_EQ(js("answers.join()"), "undefined,false,null");

    ASSERT_TRUE(load("/leave", "<body style='height:2000px'><script>"
                               "onbeforeunload = e => { e.preventDefault(); e.returnValue = '?'; }</script>"));
    click_widget(page_view(pane), 50, 50);  // engines ask before unloading only pages the user touched
    int asked = 0;
    const guint dialog = g_signal_lookup("script-dialog", G_OBJECT_TYPE(page_view(pane).gobj()));
    const auto count = [](GSignalInvocationHint*, guint, const GValue*, gpointer n) -> gboolean {
        return ++*static_cast<int*>(n);
    };
    const gulong hook = g_signal_add_emission_hook(dialog, 0, count, &asked, nullptr);
    EXPECT_TRUE(pane.refresh());
    EXPECT_TRUE(wait_for_load(pane));
    g_signal_remove_emission_hook(dialog, hook);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(server.request_count("/leave"), 2);
}

TEST_F(BrowserPaneTest, NewWindowsGoToOpenExternallyOnlyWhenClicked) {
    ASSERT_TRUE(load("/links", "<body style='margin:0'><a href='/new' target='_blank' style='display:block;"
                               "height:100px'>new</a><script>open('/unasked')</script>"));
    click_widget(page_view(pane), 50, 50);
    ASSERT_TRUE(wait_until([&] { return !opened_outside.empty(); }, 10s));
    EXPECT_EQ(opened_outside, std::vector<std::string>{server.url("/new")});
    EXPECT_EQ(pane.uri(), server.url("/links"));
    EXPECT_EQ(server.request_count("/new") + server.request_count("/unasked"), 0);
}
