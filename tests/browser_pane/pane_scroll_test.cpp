// Scroll writes: where they land in both document modes, and when they are refused.

#include <chrono>
#include <cmath>
#include <future>
#include <limits>

#include "pane_fixture.h"

using namespace std::chrono_literals;

namespace {

const std::string kBigBlock = "<div style='width:3000px;height:3000px;background:#ace'>big</div>";
const std::string kStandardsPage = "<!DOCTYPE html><html><body style='margin:0'>" + kBigBlock + "</body></html>";
// No DOCTYPE: quirks mode, where the body is the scrolling element.
const std::string kQuirksPage = "<html><body style='margin:0'>" + kBigBlock + "</body></html>";

struct ModeCase {
    const char* path;
    const std::string* html;
    const char* scrolling_element;
};

const ModeCase kModes[] = {
    {"/standards", &kStandardsPage, "HTML"},
    {"/quirks", &kQuirksPage, "BODY"},
};

}  // namespace

class BrowserPaneScroll : public PaneFixture {
protected:
    std::string offset(const char* property) {
        return js(std::string("String(document.scrollingElement.") + property + ")");
    }
};

TEST_F(BrowserPaneScroll, WritesReachTheViewportInBothDocumentModes) {
    for (const auto& mode : kModes) {
        SCOPED_TRACE(mode.path);
        serve_html(mode.path, *mode.html);
        ASSERT_TRUE(navigate_and_wait(pane, server.url(mode.path)));
        ASSERT_EQ(js("document.scrollingElement.tagName"), mode.scrolling_element);

        ASSERT_TRUE(pane.set_body_scroll(30, 120));
        EXPECT_EQ(offset("scrollLeft"), "30");
        EXPECT_EQ(offset("scrollTop"), "120");

        // An absent offset stays where it was.
        ASSERT_TRUE(pane.set_body_scroll(std::nullopt, 200));
        EXPECT_EQ(offset("scrollLeft"), "30");
        EXPECT_EQ(offset("scrollTop"), "200");
        ASSERT_TRUE(pane.set_body_scroll(45, std::nullopt));
        EXPECT_EQ(offset("scrollLeft"), "45");
        EXPECT_EQ(offset("scrollTop"), "200");
    }
}

TEST_F(BrowserPaneScroll, OffsetsOutsideThePageAreClampedByTheView) {
    serve_html("/page", kStandardsPage);
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/page")));
    ASSERT_TRUE(pane.set_body_scroll(-10, 1e7));
    EXPECT_EQ(offset("scrollLeft"), "0");
    EXPECT_EQ(js("String(document.scrollingElement.scrollTop == "
                                  "document.scrollingElement.scrollHeight - document.scrollingElement.clientHeight)"),
              "true");
}

TEST_F(BrowserPaneScroll, RefusedWithoutEffectBeforeAnyDocument) {
    EXPECT_FALSE(pane.set_body_scroll(10, 10));
    EXPECT_FALSE(pane.set_body_scroll(std::nullopt, 10));
    // Once a page is there, it shows from its top: the early write left no trace.
    serve_html("/page", kStandardsPage);
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/page")));
    EXPECT_EQ(offset("scrollTop"), "0");
}

TEST_F(BrowserPaneScroll, NonFiniteOffsetsAreRefusedWithoutEffect) {
    serve_html("/page", kStandardsPage);
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/page")));
    ASSERT_TRUE(pane.set_body_scroll(20, 40));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(pane.set_body_scroll(nan, 100));
    EXPECT_FALSE(pane.set_body_scroll(100, -inf));
    EXPECT_EQ(offset("scrollLeft"), "20");
    EXPECT_EQ(offset("scrollTop"), "40");
}

TEST_F(BrowserPaneScroll, RefusedWhileThePageIsStillLoading) {
    // The page has its body at once but keeps loading until the test lets its
    // image through.
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    server.serve("/slow.png", [released](const std::string&) {
        released.wait_for(20s);
        return LocalHttpServer::Response{404, "text/plain", ""};
    });
    serve_html("/page", "<!DOCTYPE html><html><body>" + kBigBlock + "<img src='/slow.png'></body></html>");
    pane.navigate(server.url("/page"));
    ASSERT_TRUE(wait_until([&] { return server.request_count("/slow.png") == 1; }, 20s));
    ASSERT_EQ(js("String(document.body !== null)"), "true");
    ASSERT_TRUE(pane.is_loading());

    EXPECT_FALSE(pane.set_body_scroll(0, 100));
    EXPECT_EQ(offset("scrollTop"), "0");

    release.set_value();
    ASSERT_TRUE(wait_until([&] { return !pane.is_loading(); }, 20s));
    EXPECT_TRUE(pane.set_body_scroll(0, 100));
    EXPECT_EQ(offset("scrollTop"), "100");
}
