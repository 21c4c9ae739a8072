#include "main_window/pane_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(QuarterLayout, KeepsHalfTwipsFromTheOrigin) {
    const auto q = quarter_layout(100, -40, 9705, 3675);
    const float expected[4][4] = {{100, -40, 4852.5f, 1837.5f}, {4952.5f, -40, 4852.5f, 1837.5f},
                                  {100, 1797.5f, 4852.5f, 1837.5f}, {4952.5f, 1797.5f, 4852.5f, 1837.5f}};
    for (std::size_t i = 0; i < 4; ++i)  // halves of whole twips are exact in a float
        EXPECT_EQ((std::array{q[i].left, q[i].top, q[i].width, q[i].height}), std::to_array(expected[i])) << i;
    for (const auto& r : quarter_layout(0, 0, 9705, 0)) EXPECT_EQ(r.top + r.height, 0);  // stacked on one line
}

// Every pixel belongs to exactly one quarter; the spare one goes right and down.
TEST(QuarterPixels, TileExactlyAtOddAndDegenerateSizes) {
    const int cases[][4] = {{647, 245, 323, 122}, {648, 246, 324, 123}, {1, 1, 0, 0}, {3, 0, 1, 0}, {-5, -1, 0, 0}};
    const auto xywh = [](const PixelRect& r) { return std::array{r.x, r.y, r.width, r.height}; };
    for (const auto& [width, height, left, top] : cases) {
        const int right = std::max(width, 0) - left, bottom = std::max(height, 0) - top;
        const auto q = quarter_pixels(width, height);
        EXPECT_EQ(xywh(q[0]), (std::array{0, 0, left, top})) << width << "x" << height;
        EXPECT_EQ(xywh(q[1]), (std::array{left, 0, right, top})) << width << "x" << height;
        EXPECT_EQ(xywh(q[2]), (std::array{0, top, left, bottom})) << width << "x" << height;
        EXPECT_EQ(xywh(q[3]), (std::array{left, top, right, bottom})) << width << "x" << height;
    }
}

}  // namespace
