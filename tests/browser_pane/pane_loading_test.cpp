// Loading, reloading and odd addresses.

#include <atomic>
#include <chrono>
#include <future>
#include <memory>

#include "pane_fixture.h"

using namespace std::chrono_literals;

namespace {

const char kHello[] = "<!DOCTYPE html><html><head><title>Hello</title></head><body>hi</body></html>";

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

TEST_F(BrowserPaneLoad, RefreshAfterAFailedLoadAsksForThePageAgain) {
    // A page that is down when the program starts must come back on a later reload.
    auto up = std::make_shared<std::atomic<bool>>(false);
    server.serve("/flaky", [up](const std::string&) {
        LocalHttpServer::Response response{200, "text/html", kHello};
        response.hang_up = !*up;
        return response;
    });
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/flaky")));
    EXPECT_NE(js("document.title"), "Hello");
    *up = true;
    EXPECT_TRUE(pane.refresh());
    ASSERT_TRUE(wait_for_load(pane));
    EXPECT_EQ(js("document.title"), "Hello");
    EXPECT_EQ(pane.uri(), server.url("/flaky"));
}

TEST_F(BrowserPaneLoad, RefreshBeforeAnyNavigationDoesNothing) {
    EXPECT_FALSE(pane.refresh());
    EXPECT_FALSE(pane.is_loading());
    EXPECT_EQ(pane.uri(), "");
}

TEST_F(BrowserPaneLoad, NavigateAndRefreshReturnBeforeThePageArrives) {
    // The server holds each answer until the test lets it go: a call that waited
    // for the page would never come back to let it go.
    std::promise<void> first_release, second_release;
    std::shared_future<void> first = first_release.get_future().share();
    std::shared_future<void> second = second_release.get_future().share();
    server.serve("/held", [first, second](const std::string&) {
        (first.wait_for(0s) == std::future_status::ready ? second : first).wait_for(20s);
        return LocalHttpServer::Response{200, "text/html", kHello};
    });

    EXPECT_TRUE(pane.navigate(server.url("/held")));
    ASSERT_TRUE(wait_until([&] { return server.request_count("/held") == 1; }, 20s));
    EXPECT_TRUE(pane.is_loading());
    first_release.set_value();
    ASSERT_TRUE(wait_for_load(pane));

    EXPECT_TRUE(pane.refresh());
    ASSERT_TRUE(wait_until([&] { return server.request_count("/held") == 2; }, 20s));
    EXPECT_TRUE(pane.is_loading());
    second_release.set_value();
    ASSERT_TRUE(wait_for_load(pane));
    EXPECT_EQ(js("document.title"), "Hello");
}

TEST_F(BrowserPaneLoad, OddAddressesLeaveThePaneUsable) {
    serve_html("/hello", kHello);
    for (const std::string address : {"", "not a url", "http://", "\xff\xfe bytes", "ftp://127.0.0.1:1/x",
                                      "http://127.0.0.1:1/nothing-listens-here"}) {
        SCOPED_TRACE("address: " + address);
        EXPECT_TRUE(pane.navigate(address));
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
