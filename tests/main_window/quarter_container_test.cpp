// The container in a real window: the four children must cover its allocation
// edge to edge, also at odd sizes and after a resize.

#include "main_window/quarter_container.h"

#include <gtest/gtest.h>
#include <gtkmm/box.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/window.h>

#include <array>
#include <chrono>
#include <cstdlib>

#include "support/wait_until.h"

using namespace std::chrono_literals;

namespace {

class QuarterContainerWindow : public ::testing::Test {
protected:
    QuarterContainerWindow() {
        header.set_size_request(-1, 7);  // the container does not start at the window's origin
        for (int n = 1; n <= 4; ++n) quarters.set_quarter(n, panes[static_cast<std::size_t>(n - 1)]);
        column.pack_start(header, false, false);
        column.pack_start(quarters, true, true);
        window.add(column);
    }

    bool container_is(int width, int height) {
        const auto a = quarters.get_allocation();
        return a.get_width() == width && a.get_height() == height;
    }

    void expect_tiled() {
        const auto area = quarters.get_allocation();
        std::array<Gtk::Allocation, 4> p;
        for (std::size_t i = 0; i < 4; ++i) p[i] = panes[i].get_allocation();
        const int right = area.get_x() + area.get_width();
        const int bottom = area.get_y() + area.get_height();

        EXPECT_EQ(area.get_y(), 7);
        EXPECT_EQ(p[0].get_x(), area.get_x());
        EXPECT_EQ(p[0].get_y(), area.get_y());
        EXPECT_EQ(p[1].get_y(), area.get_y());
        EXPECT_EQ(p[2].get_x(), area.get_x());
        for (int top : {0, 2}) {  // each row: left pane ends where the right one begins, at the edge
            const auto &l = p[static_cast<std::size_t>(top)], &r = p[static_cast<std::size_t>(top + 1)];
            EXPECT_EQ(l.get_x() + l.get_width(), r.get_x());
            EXPECT_EQ(r.get_x() + r.get_width(), right);
            EXPECT_EQ(l.get_y(), r.get_y());
            EXPECT_EQ(l.get_height(), r.get_height());
            EXPECT_LE(std::abs(l.get_width() - r.get_width()), 1);
        }
        for (int left : {0, 1}) {  // each column likewise, top to bottom
            const auto &t = p[static_cast<std::size_t>(left)], &b = p[static_cast<std::size_t>(left + 2)];
            EXPECT_EQ(t.get_y() + t.get_height(), b.get_y());
            EXPECT_EQ(b.get_y() + b.get_height(), bottom);
            EXPECT_EQ(t.get_x(), b.get_x());
            EXPECT_EQ(t.get_width(), b.get_width());
            EXPECT_LE(std::abs(t.get_height() - b.get_height()), 1);
        }
    }

    Gtk::Window window;
    Gtk::Box column{Gtk::ORIENTATION_VERTICAL};
    Gtk::DrawingArea header;
    QuarterContainer quarters;
    std::array<Gtk::DrawingArea, 4> panes;
};

TEST_F(QuarterContainerWindow, QuartersMeetExactlyAtOddSizesAndFollowResizes) {
    window.set_default_size(647, 252);
    window.show_all();
    ASSERT_TRUE(wait_until([&] { return container_is(647, 245); }, 5s));
    expect_tiled();

    window.resize(300, 108);
    ASSERT_TRUE(wait_until([&] { return container_is(300, 101); }, 5s));
    expect_tiled();
}

TEST(QuarterContainer, SetQuarterReplacesAndIgnoresBadNumbers) {
    QuarterContainer quarters;
    Gtk::DrawingArea first, second, stray;
    quarters.set_quarter(2, first);
    quarters.set_quarter(2, second);
    quarters.set_quarter(5, stray);
    quarters.set_quarter(0, stray);
    EXPECT_EQ(quarters.quarter(2), &second);
    EXPECT_EQ(first.get_parent(), nullptr);
    EXPECT_EQ(stray.get_parent(), nullptr);
    EXPECT_EQ(quarters.get_children().size(), 1u);

    quarters.set_quarter(4, second);  // moving a child frees its old quarter
    EXPECT_EQ(quarters.quarter(2), nullptr);
    EXPECT_EQ(quarters.quarter(4), &second);
}

TEST(QuarterContainer, AsksForTwiceItsLargestChild) {
    QuarterContainer quarters;
    Gtk::DrawingArea small, wide, tall;
    small.set_size_request(10, 10);
    wide.set_size_request(40, 5);
    tall.set_size_request(3, 25);
    quarters.set_quarter(1, small);
    quarters.set_quarter(2, wide);
    quarters.set_quarter(4, tall);
    quarters.show_all();
    int minimum = 0, natural = 0;
    quarters.get_preferred_width(minimum, natural);
    EXPECT_EQ(minimum, 80);
    quarters.get_preferred_height(minimum, natural);
    EXPECT_EQ(minimum, 50);
}

}  // namespace
