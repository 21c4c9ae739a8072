// The installed SVG icon (menus, docks, Wayland's window lists) and the window icon
// drawn in code must stay one picture.

#include "main_window/app_icon.h"

#include <gtest/gtest.h>

#include <glibmm/error.h>

#include <cstdlib>

namespace {

TEST(AppIcon, TheInstalledSvgShowsTheSamePictureAsTheWindowIcon) {
    for (int size : {16, 32, 48, 128}) {
        Glib::RefPtr<Gdk::Pixbuf> svg;
        try {
            svg = Gdk::Pixbuf::create_from_file(ORVALIS_ICON_SVG, size, size);
        } catch (const Glib::Error& e) {
            GTEST_SKIP() << "no SVG loader for GdkPixbuf (Debian package librsvg2-common): " << e.what();
        }
        const auto drawn = orvalis_icon(size);
        ASSERT_EQ(std::pair(svg->get_width(), svg->get_height()), std::pair(size, size));
        const auto pixel = [](const Glib::RefPtr<Gdk::Pixbuf>& p, int x, int y) {
            return p->get_pixels() + y * p->get_rowstride() + x * p->get_n_channels();
        };
        int differing = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const guint8 *a = pixel(svg, x, y), *b = pixel(drawn, x, y);
                differing += std::abs(a[0] - b[0]) > 3 || std::abs(a[1] - b[1]) > 3 || std::abs(a[2] - b[2]) > 3;
            }
        EXPECT_EQ(differing, 0) << "pixels that differ at " << size << " px";
    }
}

}  // namespace
