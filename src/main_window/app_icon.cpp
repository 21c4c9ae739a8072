#include "main_window/app_icon.h"

#include <cairomm/context.h>
#include <cairomm/surface.h>
#include <gdkmm/general.h>

Glib::RefPtr<Gdk::Pixbuf> orvalis_icon(int size) {
    auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, size, size);
    auto cr = Cairo::Context::create(surface);
    const double s = size;
    cr->set_source_rgb(0.13, 0.22, 0.45);
    cr->rectangle(0, 0, s, s);
    cr->fill();
    const double gap = s / 16.0, half = s / 2.0;
    const double colours[4][3] = {{0.98, 0.85, 0.25}, {0.45, 0.80, 0.98},
                                  {0.55, 0.90, 0.55}, {0.98, 0.55, 0.50}};
    for (int i = 0; i < 4; ++i) {
        const double x = (i % 2) * half + gap, y = (i / 2) * half + gap;
        cr->set_source_rgb(colours[i][0], colours[i][1], colours[i][2]);
        cr->rectangle(x, y, half - 2 * gap, half - 2 * gap);
        cr->fill();
    }
    return Gdk::Pixbuf::create(surface, 0, 0, size, size);
}
