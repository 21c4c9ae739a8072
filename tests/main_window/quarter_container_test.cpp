// The container in a real window, below a strip so it does not start at the origin:
// the four children cover it edge to edge, at odd sizes and after a resize.

#include "main_window/quarter_container.h"

#include <gtest/gtest.h>
#include <gtkmm/box.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/window.h>

#include "support/wait_until.h"

using namespace std::chrono_literals;

TEST(QuarterContainer, QuartersMeetExactlyAtOddSizesAndFollowResizes) {
    Gtk::Window window;
    Gtk::Box column{Gtk::ORIENTATION_VERTICAL};
    Gtk::DrawingArea strip, panes[4];
    QuarterContainer quarters;
    strip.set_size_request(-1, 7);
    for (int n = 1; n <= 4; ++n) quarters.set_quarter(n, panes[n - 1]);
    column.pack_start(strip, false, false);
    column.pack_start(quarters, true, true);
    window.add(column);
    window.set_default_size(647, 252);
    window.show_all();

    struct Size { int width, height; std::array<int, 4> x, y, w, h; };  // the window's, then each pane's
    const Size sizes[] = {{647, 252, {0, 323, 0, 323}, {7, 7, 129, 129}, {323, 324, 323, 324}, {122, 122, 123, 123}},
                          {300, 108, {0, 150, 0, 150}, {7, 7, 57, 57}, {150, 150, 150, 150}, {50, 50, 51, 51}}};
    for (const auto& s : sizes) {
        window.resize(s.width, s.height);
        ASSERT_TRUE(wait_until([&] { return quarters.get_allocated_height() == s.height - 7; }, 5s)) << s.width;
        for (std::size_t i = 0; i < 4; ++i) {
            const auto a = panes[i].get_allocation();
            EXPECT_EQ((std::array{a.get_x(), a.get_y(), a.get_width(), a.get_height()}),
                      (std::array{s.x[i], s.y[i], s.w[i], s.h[i]})) << s.width << " pane " << i + 1;
        }
    }
}
