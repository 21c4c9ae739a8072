// The four quarters in whole pixels, and the container that lays its children on them
// in a real window, below a strip so that it does not start at the origin.

#include "main_window/quarter_container.h"

#include <gtest/gtest.h>
#include <gtkmm/box.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/window.h>

#include "main_window/pane_layout.h"
#include "support/wait_until.h"

using namespace std::chrono_literals;

namespace {

using Rect = std::array<int, 4>;  // x, y, width, height
Rect xywh(const PixelRect& r) { return {r.x, r.y, r.width, r.height}; }

// Every pixel belongs to exactly one quarter; the spare one goes right and down.
TEST(QuarterPixels, TileExactlyAtOddAndDegenerateSizes) {
    const int cases[][4] = {{647, 245, 323, 122}, {648, 246, 324, 123}, {1, 1, 0, 0}, {3, 0, 1, 0}, {-5, -1, 0, 0}};
    for (const auto& [width, height, left, top] : cases) {
        const int right = std::max(width, 0) - left, bottom = std::max(height, 0) - top;
        const auto q = quarter_pixels(width, height);
        EXPECT_EQ((std::array{xywh(q[0]), xywh(q[1]), xywh(q[2]), xywh(q[3])}),
                  (std::array{Rect{0, 0, left, top}, Rect{left, 0, right, top}, Rect{0, top, left, bottom},
                              Rect{left, top, right, bottom}}));
    }
}

TEST(QuarterContainer, ChildrenCoverTheQuartersBelowTheStripAndFollowResizes) {
    Gtk::Window window;
    Gtk::Box column{Gtk::ORIENTATION_VERTICAL};
    Gtk::DrawingArea strip, panes[4];
    QuarterContainer quarters;
    strip.set_size_request(-1, 7);
    for (int n = 1; n <= 4; ++n) quarters.set_quarter(n, panes[n - 1]);
    column.pack_start(strip, false, false);
    column.pack_start(quarters, true, true);
    window.add(column);
    window.show_all();
    // Worked out by hand: 647 x 245 below the strip splits at 323 and 122, 300 x 101 at 150 and 50.
    const std::pair<std::pair<int, int>, std::array<Rect, 4>> sizes[] = {
        {{647, 252}, {Rect{0, 0, 323, 122}, {323, 0, 324, 122}, {0, 122, 323, 123}, {323, 122, 324, 123}}},
        {{300, 108}, {Rect{0, 0, 150, 50}, {150, 0, 150, 50}, {0, 50, 150, 51}, {150, 50, 150, 51}}}};
    for (const auto& [size, expected] : sizes) {
        const auto [width, height] = size;
        window.resize(width, height);
        ASSERT_TRUE(wait_until([&] { return quarters.get_allocated_height() == height - 7; }, 5s)) << width;
        for (std::size_t i = 0; i < 4; ++i) {
            const auto a = panes[i].get_allocation();
            EXPECT_EQ((Rect{a.get_x(), a.get_y() - 7, a.get_width(), a.get_height()}), expected[i])
                << width << " pane " << i + 1;
        }
    }
}

}  // namespace
