#include "main_window/pane_layout.h"

#include <gtest/gtest.h>

namespace {

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
