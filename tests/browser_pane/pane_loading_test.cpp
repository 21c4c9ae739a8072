// Loading, reloading and odd addresses.

#include <chrono>

#include "pane_fixture.h"

using namespace std::chrono_literals;

namespace {

const char kHello[] = "<!DOCTYPE html><html><head><title>Hello</title></head><body>hi</body></html>";

// The pane's calls return before any page work is done; anything near a frame's
// time means a wait slipped in.
constexpr auto kAtOnce = 100ms;

template <typename Call>
std::chrono::steady_clock::duration time_of(Call call) {
    const auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::steady_clock::now() - start;
}

}  // namespace

using BrowserPaneLoad = PaneFixture;

TEST_F(BrowserPaneLoad, LoadsLocalPageAndReportsFinish) {
    serve_html("/hello", kHello);
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/hello")));
    EXPECT_EQ(pane.uri(), server.url("/hello"));
    EXPECT_FALSE(pane.is_loading());
    EXPECT_EQ(server.request_count("/hello"), 1);
    EXPECT_EQ(js("document.title"), "Hello");
}

TEST_F(BrowserPaneLoad, RefreshLoadsTheCurrentPageAgain) {
    serve_html("/hello", kHello);
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/hello")));
    EXPECT_TRUE(pane.refresh());
    ASSERT_TRUE(wait_for_load(pane));
    EXPECT_EQ(server.request_count("/hello"), 2);
    EXPECT_EQ(pane.uri(), server.url("/hello"));
}

TEST_F(BrowserPaneLoad, RefreshBeforeAnyNavigationDoesNothing) {
    EXPECT_FALSE(pane.refresh());
    EXPECT_FALSE(pane.is_loading());
    EXPECT_EQ(pane.uri(), "");
}

TEST_F(BrowserPaneLoad, OddAddressesReturnAtOnceAndLeaveThePaneUsable) {
    serve_html("/hello", kHello);
    for (const std::string address : {"", "not a url", "http://", "\xff\xfe bytes", "ftp://127.0.0.1:1/x",
                                      "http://127.0.0.1:1/nothing-listens-here"}) {
        SCOPED_TRACE("address: " + address);
        EXPECT_LT(time_of([&] { EXPECT_TRUE(pane.navigate(address)); }), kAtOnce);
        // Whatever the view makes of it, it settles and the next page still loads.
        EXPECT_TRUE(wait_until([&] { return !pane.is_loading(); }, 20s));
        ASSERT_TRUE(navigate_and_wait(pane, server.url("/hello")));
        EXPECT_EQ(js("document.title"), "Hello");
    }
}

TEST_F(BrowserPaneLoad, EmptyAddressShowsBlankPage) {
    ASSERT_TRUE(navigate_and_wait(pane, ""));
    EXPECT_EQ(pane.uri(), "about:blank");
    EXPECT_TRUE(pane.set_body_scroll(0, 0));
}

TEST_F(BrowserPaneLoad, ComesBackAfterItsWebProcessDies) {
    serve_html("/hello", kHello);
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/hello")));
    pane.terminate_web_process();
    EXPECT_FALSE(pane.set_body_scroll(0, 10));
    ASSERT_TRUE(wait_for_load(pane));
    EXPECT_EQ(server.request_count("/hello"), 2);
    EXPECT_EQ(js("document.title"), "Hello");
}

TEST_F(BrowserPaneLoad, ScriptAnswersComeBackAsText) {
    serve_html("/hello", kHello);
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/hello")));
    const struct {
        const char* script;
        std::optional<std::string> answer;
    } cases[] = {
        {"'plain ' + 'text'", "plain text"}, {"6 * 7", "42"},         {"[1, 'a']", "[1,\"a\"]"},
        {"({a: 1})", "{\"a\":1}"},           {"undefined", "undefined"}, {"null", "null"},
        {"true", "true"},                    {"throw new Error('no')", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(script_result(pane, c.script), c.answer) << c.script;
}
