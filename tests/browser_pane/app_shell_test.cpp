// Which pages a pane pans, and how large a viewport it gives them.

#include <gtest/gtest.h>

#include <cmath>

#include "browser_pane/app_shell.h"

TEST(PanGeometry, GrowsTheViewportByPositiveOffsetsUpToTheCap) {
    struct Case { int width, height; double x, y; PanGeometry wanted; };
    const Case cases[] = {
        {400, 300, 0, 0, {400, 300, 0, 0}},
        {400, 300, 0, 2980, {400, 3280, 0, 2980}},
        {400, 300, 25.4, -10, {425, 300, 25, 0}},  // a negative offset shows the start
        {400, 300, NAN, 1e12, {400, 16384, 0, 16084}},
        {400, 300, 16384, 16384, {16384, 16384, 15984, 16084}},
        {20000, 300, 500, 0, {20000, 300, 0, 0}},  // a pane beyond the cap is never cut down
    };
    for (const auto& c : cases)
        EXPECT_EQ(pan_geometry(c.width, c.height, c.x, c.y), c.wanted) << c.x << "," << c.y;
}

TEST(PageFindings, ReadBackOnlyFromTheProbesOwnForm) {
    const auto page = parse_findings("0,-3,12,11680,385,3240");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->document_y, -3);
    EXPECT_EQ(page->inner_y, 11680);
    EXPECT_EQ(page->inner_height, 3240);
    for (const char* text : {"", "1,2,3,4,5", "1,2,3,4,5,6,7", "1,2,3,4,5,6 ", "1.5,2,3,4,5,6", "a,b,c,d,e,f"})
        EXPECT_FALSE(parse_findings(text)) << text;
}

TEST(AppShell, PannedOnTheAxesWhereADocumentThatCannotScrollHasAnElementThatCan) {
    struct Case { PageFindings page; PanAxes panned, wanted; const char* what; };
    const Case cases[] = {
        {{0, 0, 0, 11740, 385, 260}, {}, {false, true}, "dashboard: its list scrolls"},
        {{0, 0, 300, 0, 400, 50}, {}, {true, false}, "a wide table inside a box"},
        {{0, 0, 300, 11740, 400, 260}, {}, {true, true}, "a board scrolling both ways"},
        {{0, 2700, 0, 11740, 385, 260}, {}, {}, "a long document with a scrolling box"},
        {{5, 0, 0, 0, 0, 0}, {}, {}, "a document that scrolls sideways"},
        {{0, 0, 0, 0, 0, 0}, {}, {}, "a short static page"},
        {{0, 0, 0, 0, 385, 12020}, {false, true}, {false, true}, "panned past the end of its list"},
        {{0, 0, 0, 0, 385, 12020}, {true, false}, {}, "the same sizes panned the other way"},
        {{0, 0, 0, 0, 385, 250}, {true, true}, {}, "panned, with a box smaller than the pane"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(app_shell_axes(c.page, 400, 300, c.panned), c.wanted) << c.what;
}
