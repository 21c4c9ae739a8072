#include "main_window/pane_layout.h"

#include <gtest/gtest.h>

namespace {

void expect_rect(const TwipRect& r, float left, float top, float width, float height) {
    EXPECT_FLOAT_EQ(r.left, left);
    EXPECT_FLOAT_EQ(r.top, top);
    EXPECT_FLOAT_EQ(r.width, width);
    EXPECT_FLOAT_EQ(r.height, height);
}

TEST(QuarterLayout, DesignClientAreaKeepsHalfTwips) {
    const auto q = quarter_layout(0, 0, 9705, 3675);
    expect_rect(q[0], 0, 0, 4852.5f, 1837.5f);
    expect_rect(q[1], 4852.5f, 0, 4852.5f, 1837.5f);
    expect_rect(q[2], 0, 1837.5f, 4852.5f, 1837.5f);
    expect_rect(q[3], 4852.5f, 1837.5f, 4852.5f, 1837.5f);
}

TEST(QuarterLayout, OffsetOriginShiftsEveryQuarter) {
    const auto q = quarter_layout(100, -40, 2000, 1000);
    expect_rect(q[0], 100, -40, 1000, 500);
    expect_rect(q[3], 1100, 460, 1000, 500);
}

TEST(QuarterLayout, ZeroHeightStacksThePanesOnOneLine) {
    const auto q = quarter_layout(0, 0, 9705, 0);
    for (const auto& r : q) EXPECT_FLOAT_EQ(r.height, 0);
    EXPECT_FLOAT_EQ(q[2].top, q[0].top);
    EXPECT_FLOAT_EQ(q[3].top, q[1].top);
}

// Every pixel of the area belongs to exactly one quarter, in the right corner.
void expect_exact_tiling(int width, int height) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    const auto q = quarter_pixels(width, height);
    EXPECT_EQ(q[0].x, 0);
    EXPECT_EQ(q[0].y, 0);
    EXPECT_EQ(q[1].x, q[0].width);
    EXPECT_EQ(q[3].x, q[2].width);
    EXPECT_EQ(q[2].y, q[0].height);
    EXPECT_EQ(q[3].y, q[1].height);
    EXPECT_EQ(q[0].width + q[1].width, width);
    EXPECT_EQ(q[2].width + q[3].width, width);
    EXPECT_EQ(q[0].height + q[2].height, height);
    EXPECT_EQ(q[1].height + q[3].height, height);
    EXPECT_EQ(q[0].width, q[2].width);
    EXPECT_EQ(q[0].height, q[1].height);
    for (const auto& r : q) {
        EXPECT_GE(r.width, 0);
        EXPECT_GE(r.height, 0);
        // Halves never differ by more than the one spare pixel.
        EXPECT_LE(r.width, width / 2 + 1);
        EXPECT_LE(r.height, height / 2 + 1);
    }
}

TEST(QuarterPixels, TilesExactlyAtEvenOddAndDegenerateSizes) {
    const int sizes[][2] = {{647, 245}, {648, 246}, {1, 1}, {3, 0}, {0, 0}, {1921, 1079}};
    for (const auto& s : sizes) expect_exact_tiling(s[0], s[1]);
}

TEST(QuarterPixels, OddSizeGivesTheSparePixelToRightAndBottom) {
    const auto q = quarter_pixels(647, 245);
    EXPECT_EQ(q[0].width, 323);
    EXPECT_EQ(q[1].width, 324);
    EXPECT_EQ(q[0].height, 122);
    EXPECT_EQ(q[2].height, 123);
}

TEST(QuarterPixels, NegativeSizeCountsAsEmpty) {
    for (const auto& r : quarter_pixels(-5, -1)) {
        EXPECT_EQ(r.width, 0);
        EXPECT_EQ(r.height, 0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
