#include "main_window/quarter_container.h"

#include <algorithm>

#include "main_window/pane_layout.h"

namespace {

// Each quarter is half the container, so the container needs twice the largest
// child in each direction.
void doubled_largest(const std::array<Gtk::Widget*, 4>& children,
                     void (Gtk::Widget::*measure)(int&, int&) const, int& minimum, int& natural) {
    minimum = natural = 0;
    for (auto* child : children) {
        if (!child || !child->get_visible()) continue;
        int child_minimum = 0, child_natural = 0;
        (child->*measure)(child_minimum, child_natural);
        minimum = std::max(minimum, 2 * child_minimum);
        natural = std::max(natural, 2 * child_natural);
    }
}

}  // namespace

QuarterContainer::QuarterContainer() {
    set_has_window(false);
    set_redraw_on_allocate(false);
}

QuarterContainer::~QuarterContainer() {
    // Children that outlive us must not keep pointing at a dead parent.
    for (auto*& child : children_) {
        if (child) child->unparent();
        child = nullptr;
    }
}

void QuarterContainer::set_quarter(int pane, Gtk::Widget& child) {
    if (pane < 1 || pane > 4) return;
    const auto index = static_cast<std::size_t>(pane - 1);
    if (children_[index] == &child) return;
    if (children_[index]) remove(*children_[index]);
    if (child.get_parent() == this) remove(child);
    place(index, child);
}

void QuarterContainer::place(std::size_t index, Gtk::Widget& child) {
    children_[index] = &child;
    child.set_parent(*this);
    if (get_visible()) queue_resize();
}

GType QuarterContainer::child_type_vfunc() const {
    const bool full = std::none_of(children_.begin(), children_.end(), [](auto* c) { return c == nullptr; });
    return full ? G_TYPE_NONE : Gtk::Widget::get_base_type();
}

void QuarterContainer::forall_vfunc(gboolean, GtkCallback callback, gpointer callback_data) {
    // The callback may take a child out (on destruction), so walk a copy.
    const auto children = children_;
    for (auto* child : children)
        if (child) callback(child->gobj(), callback_data);
}

void QuarterContainer::on_add(Gtk::Widget* child) {
    if (!child) return;
    const auto free = std::find(children_.begin(), children_.end(), nullptr);
    if (free == children_.end()) return;
    place(static_cast<std::size_t>(free - children_.begin()), *child);
}

void QuarterContainer::on_remove(Gtk::Widget* child) {
    const auto found = std::find(children_.begin(), children_.end(), child);
    if (found == children_.end()) return;
    const bool was_visible = child->get_visible();
    *found = nullptr;
    child->unparent();
    if (was_visible && get_visible()) queue_resize();
}

Gtk::SizeRequestMode QuarterContainer::get_request_mode_vfunc() const {
    return Gtk::SIZE_REQUEST_CONSTANT_SIZE;
}

void QuarterContainer::get_preferred_width_vfunc(int& minimum, int& natural) const {
    doubled_largest(children_, &Gtk::Widget::get_preferred_width, minimum, natural);
}

void QuarterContainer::get_preferred_height_vfunc(int& minimum, int& natural) const {
    doubled_largest(children_, &Gtk::Widget::get_preferred_height, minimum, natural);
}

void QuarterContainer::get_preferred_height_for_width_vfunc(int, int& minimum, int& natural) const {
    get_preferred_height_vfunc(minimum, natural);
}

void QuarterContainer::get_preferred_width_for_height_vfunc(int, int& minimum, int& natural) const {
    get_preferred_width_vfunc(minimum, natural);
}

void QuarterContainer::on_size_allocate(Gtk::Allocation& allocation) {
    set_allocation(allocation);
    const auto quarters = quarter_pixels(allocation.get_width(), allocation.get_height());
    for (std::size_t i = 0; i < children_.size(); ++i) {
        auto* child = children_[i];
        if (!child || !child->get_visible()) continue;
        const PixelRect& q = quarters[i];
        Gtk::Allocation area(allocation.get_x() + q.x, allocation.get_y() + q.y, q.width, q.height);
        child->size_allocate(area);
    }
}
