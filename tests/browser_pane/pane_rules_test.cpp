// The rules behind a pane that need no window: which pages it pans and how large a
// viewport it gives them, retry delays, the page memory limit, the page a failing pane shows.

#include <gtest/gtest.h>

#include <cmath>

#include "browser_pane/panning/app_shell.h"
#include "browser_pane/recovery/failure_texts.h"
#include "browser_pane/recovery/page_memory.h"
#include "browser_pane/recovery/recovery_schedule.h"

TEST(PanGeometry, GrowsTheViewportByPositiveOffsetsUpToTheCap) {
    struct Case { int width, height; double x, y; PanGeometry wanted; };
    const Case cases[] = {
        {400, 300, 0, 0, {400, 300, 0, 0}},
        {400, 300, 25.4, -10, {425, 300, 25, 0}},  // a negative offset shows the start
        {400, 300, NAN, 1e12, {400, 16384, 0, 16084}},
        {400, 300, 16384, 16384, {16384, 16384, 15984, 16084}},
        {20000, 300, 500, 0, {20000, 300, 0, 0}},  // a pane beyond the cap is never cut down
    };
    for (const auto& c : cases)
        EXPECT_EQ(pan_geometry(c.width, c.height, c.x, c.y), c.wanted) << c.x << "," << c.y;
}

TEST(AppShell, PannedOnTheAxesWhereADocumentThatCannotScrollHasAnElementThatCan) {
    struct Case { PageFindings page; PanAxes panned, wanted; const char* what; };
    const Case cases[] = {
        {{0, 0, 300, 0, 400, 50}, {}, {true, false}, "a wide table inside a box"},
        {{0, 0, 300, 11740, 400, 260}, {}, {true, true}, "a board scrolling both ways"},
        {{5, 0, 0, 0, 0, 0}, {}, {}, "a document that scrolls sideways"},
        {{0, 0, 0, 0, 385, 12020}, {false, true}, {false, true}, "panned past the end of its list"},
        {{0, 0, 0, 0, 385, 12020}, {true, false}, {}, "the same sizes panned the other way"},
        {{0, 0, 0, 0, 385, 250}, {true, true}, {}, "panned, with a box smaller than the pane"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(app_shell_axes(c.page, 400, 300, c.panned), c.wanted) << c.what;
}

using namespace std::chrono_literals;

TEST(BackoffSequence, RepeatsItsLastDelayForEver) {
    BackoffSequence retries({1s, 2s});
    for (const auto expected : {1s, 2s, 2s, 2s})
        EXPECT_EQ(retries.next(), expected);
    EXPECT_EQ(BackoffSequence({}).next(), 0ms);
}

TEST(PageMemoryLimit, TakesWholeMebibytesInRangeAndComplainsOnceAboutAnythingElse) {
    for (const auto& [text, mib] : {std::pair<const char*, unsigned>{nullptr, 1024}, {"2048", 2048}, {" 512 ", 512},
                                    {"64", 64}, {"1048576", 1048576}}) {
        const PageMemoryLimit limit = page_memory_limit(text);
        EXPECT_EQ(std::pair(limit.mib, limit.complaint), std::pair(mib, std::string())) << (text ? text : "unset");
    }
    for (const char* text : {"", "  ", "abc", "1.5", "-100", "63", "1048577", "512MiB", "99999999999999999999999"}) {
        const PageMemoryLimit limit = page_memory_limit(text);
        EXPECT_EQ(limit.mib, 1024u) << text;
        EXPECT_NE(limit.complaint.find("ORVALIS_PAGE_MEMORY_MIB"), std::string::npos) << text;
        EXPECT_EQ(limit.complaint.find('\n'), std::string::npos) << text;
    }
}

TEST(FailureTexts, ShowTheAddressAndTheReasonAsTextNeverAsMarkup) {
    const std::string page = unreachable_page_html("http://x/?a=<script>alert(1)</script>&b=\"'", "<i>503", "");
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_EQ(page.find("<i>"), std::string::npos);
    EXPECT_NE(page.find("http://x/?a=&lt;script&gt;alert(1)&lt;/script&gt;&amp;b=&quot;&#39;"), std::string::npos);
}
