#include "calculator/calculator_artwork.h"

#include <cairomm/surface.h>

#include <algorithm>
#include <cmath>

namespace calculator {
namespace {

// The badge's design size; drawing scales it to whatever box it gets.
constexpr double kBadgeWidth = 355;
constexpr double kBadgeHeight = 174;

void draw_coin(const Cairo::RefPtr<Cairo::Context>& cr, double cx, double cy, double r) {
    cr->arc(cx, cy, r, 0, 2 * M_PI);
    cr->set_source_rgb(0.85, 0.68, 0.13);
    cr->fill_preserve();
    cr->set_line_width(r * 0.12);
    cr->set_source_rgb(0.55, 0.42, 0.05);
    cr->stroke();

    cr->select_font_face("Sans", Cairo::FONT_SLANT_NORMAL, Cairo::FONT_WEIGHT_BOLD);
    cr->set_font_size(r * 1.3);
    Cairo::TextExtents ext;
    cr->get_text_extents("€", ext);
    cr->move_to(cx - ext.width / 2 - ext.x_bearing, cy - ext.height / 2 - ext.y_bearing);
    cr->set_source_rgb(0.35, 0.25, 0.0);
    cr->show_text("€");
}

}  // namespace

void draw_maker_badge(const Cairo::RefPtr<Cairo::Context>& cr, double width, double height) {
    cr->save();
    cr->scale(width / kBadgeWidth, height / kBadgeHeight);

    auto sky = Cairo::LinearGradient::create(0, 0, 0, kBadgeHeight);
    sky->add_color_stop_rgb(0, 0.05, 0.20, 0.45);
    sky->add_color_stop_rgb(1, 0.00, 0.55, 0.60);
    cr->set_source(sky);
    cr->paint();

    draw_coin(cr, 87, 87, 62);

    cr->select_font_face("Sans", Cairo::FONT_SLANT_NORMAL, Cairo::FONT_WEIGHT_BOLD);
    cr->set_font_size(100);
    Cairo::TextExtents ext;
    cr->get_text_extents("K.Z.", ext);
    // Fit the initials into the space right of the coin, whatever the font's widths.
    const double room = kBadgeWidth - 175 - 12;
    const double fit = std::min(1.0, room / ext.x_advance);
    cr->set_font_size(100 * fit);
    cr->get_text_extents("K.Z.", ext);
    cr->move_to(175 + (room - ext.x_advance) / 2, kBadgeHeight / 2 - ext.height / 2 - ext.y_bearing);
    cr->set_source_rgb(1, 1, 1);
    cr->show_text("K.Z.");
    cr->restore();
}

Glib::RefPtr<Gdk::Pixbuf> calculator_icon() {
    constexpr int kSize = 32;
    auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, kSize, kSize);
    auto cr = Cairo::Context::create(surface);
    cr->rectangle(1, 1, kSize - 2, kSize - 2);
    cr->set_source_rgb(1, 1, 0);
    cr->fill_preserve();
    cr->set_source_rgb(0, 0, 0);
    cr->set_line_width(1);
    cr->stroke();
    draw_coin(cr, kSize / 2.0, kSize / 2.0, 11);
    surface->flush();
    return Gdk::Pixbuf::create(surface, 0, 0, kSize, kSize);
}

}  // namespace calculator
