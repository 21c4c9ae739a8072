#include "config_dialog/arrow_button.h"

#include <array>

#include <atkmm/object.h>

namespace {

constexpr int picture_side = 32;

struct Point { double x, y; };

// The triangle's tip first, then its base, in the picture's own coordinates.
std::array<Point, 3> triangle(Arrow direction) {
    switch (direction) {
    case Arrow::Left: return {{{9, 16}, {21, 8}, {21, 24}}};
    case Arrow::Up: return {{{16, 9}, {8, 21}, {24, 21}}};
    case Arrow::Right: return {{{23, 16}, {11, 8}, {11, 24}}};
    case Arrow::Down: break;
    }
    return {{{16, 23}, {8, 11}, {24, 11}}};
}

void outline(const Cairo::RefPtr<Cairo::Context>& cr, const std::array<Point, 3>& points, double shift) {
    cr->move_to(points[0].x + shift, points[0].y + shift);
    cr->line_to(points[1].x + shift, points[1].y + shift);
    cr->line_to(points[2].x + shift, points[2].y + shift);
    cr->close_path();
    cr->stroke();
}

}  // namespace

ArrowButton::ArrowButton(Arrow direction, const Glib::ustring& accessible_name) : direction_(direction) {
    set_size_request(side, side);
    add_events(Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK);
    auto accessible = get_accessible();
    accessible->set_name(accessible_name);
    accessible->set_role(Atk::ROLE_PUSH_BUTTON);
}

bool ArrowButton::inside(double x, double y) const {
    return x >= 0 && y >= 0 && x < get_allocated_width() && y < get_allocated_height();
}

void ArrowButton::set_pressed(bool pressed) {
    if (pressed_ == pressed) return;
    pressed_ = pressed;
    queue_draw();
}

bool ArrowButton::on_button_press_event(GdkEventButton* event) {
    // The second press of a double click also arrives as a plain press; the
    // double-click event itself must not count again.
    if (event->type != GDK_BUTTON_PRESS) return true;
    set_pressed(true);
    if (event->button == GDK_BUTTON_PRIMARY) primary_down_ = true;
    return true;
}

bool ArrowButton::on_button_release_event(GdkEventButton* event) {
    // Any release takes the pressed frame away; only the primary button makes a
    // step, and only when it is let go over the arrow (GTK keeps sending us the
    // release even when the pointer has left).
    set_pressed(false);
    if (event->button != GDK_BUTTON_PRIMARY || !primary_down_) return true;
    primary_down_ = false;
    if (inside(event->x, event->y)) step_.emit();
    return true;
}

void ArrowButton::on_unmap() {
    // A hidden dialog gets no release; it must not come back looking pressed.
    primary_down_ = false;
    pressed_ = false;
    Gtk::DrawingArea::on_unmap();
}

bool ArrowButton::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
    cr->set_line_width(1.0);
    if (pressed_) {
        cr->set_source_rgb(0, 0, 0);
        cr->rectangle(0.5, 0.5, side - 1, side - 1);
        cr->stroke();
    }
    cr->save();
    cr->translate((side - picture_side) / 2, (side - picture_side) / 2);
    draw_picture(cr);
    cr->restore();
    return true;
}

void ArrowButton::draw_picture(const Cairo::RefPtr<Cairo::Context>& cr) const {
    constexpr double far = picture_side - 1.5;  // centre of the last pixel row inside the frame

    cr->set_source_rgb(192 / 255.0, 192 / 255.0, 192 / 255.0);
    cr->rectangle(0, 0, picture_side, picture_side);
    cr->fill();

    cr->set_source_rgb(1, 1, 1);
    cr->move_to(1.5, far);
    cr->line_to(1.5, 1.5);
    cr->line_to(far, 1.5);
    cr->stroke();

    cr->set_source_rgb(128 / 255.0, 128 / 255.0, 128 / 255.0);
    cr->move_to(far, 1.5);
    cr->line_to(far, far);
    cr->line_to(1.5, far);
    cr->stroke();

    cr->set_source_rgb(0, 0, 0);
    cr->rectangle(0.5, 0.5, picture_side - 1, picture_side - 1);
    cr->stroke();

    // Embossed: a white edge one pixel down and right of the black one.
    const auto points = triangle(direction_);
    cr->set_source_rgb(1, 1, 1);
    outline(cr, points, 1.5);
    cr->set_source_rgb(0, 0, 0);
    outline(cr, points, 0.5);
}
