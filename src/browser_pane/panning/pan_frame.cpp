#include "browser_pane/panning/pan_frame.h"

#include <gdkmm/window.h>

#include <cmath>

PanFrame::PanFrame() {
    set_has_window(true);
    // The child covers the whole window: nothing of ours to draw.
    set_redraw_on_allocate(false);
}

PanFrame::~PanFrame() = default;

void PanFrame::set_panning(PanAxes axes) {
    if (axes_ == axes)
        return;
    axes_ = axes;
    update();
}

void PanFrame::pan_to(std::optional<double> x, std::optional<double> y) {
    if (x)
        x_ = *x;
    if (y)
        y_ = *y;
    if (panning())
        update();
}

void PanFrame::set_zoom(double zoom) {
    if (zoom == zoom_)
        return;
    zoom_ = zoom;
    if (panning())
        update();
}

int PanFrame::page_width() const { return static_cast<int>(std::lround(pane_width() / zoom_)); }
int PanFrame::page_height() const { return static_cast<int>(std::lround(pane_height() / zoom_)); }

PanGeometry PanFrame::wanted(int width, int height) const {
    return pan_geometry(width, height, axes_.x ? x_ * zoom_ : 0, axes_.y ? y_ * zoom_ : 0);
}

void PanFrame::update() {
    // Each new size lays the page out again: allocate only when it changes.
    if (wanted(pane_width(), pane_height()) != geometry_)
        queue_allocate();
}

void PanFrame::on_size_allocate(Gtk::Allocation& allocation) {
    set_allocation(allocation);
    if (window_)
        window_->move_resize(allocation.get_x(), allocation.get_y(), allocation.get_width(),
                             allocation.get_height());
    const int width = allocation.get_width();
    const int height = allocation.get_height();
    geometry_ = wanted(width, height);
    Gtk::Widget* child = get_child();
    if (!child || !child->get_visible())
        return;
    // GTK wants a child measured before it is allocated.
    Gtk::Requisition minimum, natural;
    child->get_preferred_size(minimum, natural);
    // Inside our own window: the child's origin lies above and left of the frame's
    // by the part not shown.
    Gtk::Allocation placed(-geometry_.shown_x, -geometry_.shown_y, geometry_.view_width, geometry_.view_height);
    child->size_allocate(placed);
}

void PanFrame::on_realize() {
    set_realized();
    const Gtk::Allocation allocation = get_allocation();
    GdkWindowAttr attributes{};
    attributes.window_type = GDK_WINDOW_CHILD;
    attributes.x = allocation.get_x();
    attributes.y = allocation.get_y();
    attributes.width = allocation.get_width();
    attributes.height = allocation.get_height();
    attributes.wclass = GDK_INPUT_OUTPUT;
    attributes.visual = gtk_widget_get_visual(Gtk::Widget::gobj());
    attributes.event_mask = get_events();
    window_ = Gdk::Window::create(get_parent_window(), &attributes, GDK_WA_X | GDK_WA_Y | GDK_WA_VISUAL);
    set_window(window_);
    register_window(window_);
}

void PanFrame::on_unrealize() {
    // GTK's own unrealize unregisters and destroys the window.
    window_.reset();
    Gtk::Bin::on_unrealize();
}
