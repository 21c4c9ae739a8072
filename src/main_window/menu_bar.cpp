#include "main_window/menu_bar.h"

#include <atkmm/object.h>

Gtk::MenuItem& CommandMenuBar::add_entry(const std::string& caption) {
    auto item = std::make_unique<Gtk::MenuItem>(caption);
    Gtk::MenuItem* raw = item.get();
    // Run before GTK's own handlers so the bar never enters its "menu open" mode on a click.
    raw->signal_button_press_event().connect(
        [this, raw](GdkEventButton* e) { return on_item_press(e, raw); }, false);
    raw->signal_button_release_event().connect(
        [this, raw](GdkEventButton* e) { return on_item_release(e, raw); }, false);
    if (!caption.empty()) raw->get_accessible()->set_name(caption);
    append(*raw);
    items_.push_back(std::move(item));
    return *raw;
}

void CommandMenuBar::set_caption(Gtk::MenuItem& item, const std::string& caption) {
    item.set_label(caption);
    item.get_accessible()->set_name(caption);
}

bool CommandMenuBar::on_item_press(GdkEventButton* event, Gtk::MenuItem* item) {
    if (event->type != GDK_BUTTON_PRESS || event->button != 1) return true;
    pressed_ = item;
    item->set_state_flags(Gtk::STATE_FLAG_PRELIGHT, false);
    return true;
}

bool CommandMenuBar::on_item_release(GdkEventButton* event, Gtk::MenuItem* item) {
    if (event->button != 1) return true;
    Gtk::MenuItem* pressed = pressed_;
    pressed_ = nullptr;
    if (pressed) pressed->unset_state_flags(Gtk::STATE_FLAG_PRELIGHT);
    // The release is delivered to the item that took the press; act only when the
    // pointer is still over it, as a button would.
    if (pressed != item) return true;
    const auto alloc = item->get_allocation();
    const bool inside = event->x >= 0 && event->y >= 0 && event->x < alloc.get_width() &&
                        event->y < alloc.get_height();
    if (inside) item->activate();
    return true;
}
