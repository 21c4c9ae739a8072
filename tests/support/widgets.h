#pragma once
// A window's widgets of one kind, found as a screen reader walks them: depth first; a
// key pressed in a window; and the next file chooser answered as a person would.

#include <glibmm/main.h>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/window.h>

#include <optional>
#include <string>
#include <vector>

template <typename T>
std::vector<T*> widgets_of(Gtk::Widget& root) {
    std::vector<T*> found;
    if (auto* hit = dynamic_cast<T*>(&root)) found.push_back(hit);
    if (auto* container = dynamic_cast<Gtk::Container*>(&root))
        for (Gtk::Widget* child : container->get_children())
            for (T* below : widgets_of<T>(*child)) found.push_back(below);
    return found;
}

// A key press handed to the window as GTK hands it one, on to the widget with the keyboard;
// from the keyboard where there is one (Weston's headless backend has no seat).
inline void press_key(Gtk::Window& window, guint keyval, GdkModifierType state = GdkModifierType(0)) {
    GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(window.get_window()->gobj()));
    event->key.keyval = keyval;
    event->key.state = state;
    if (GdkSeat* seat = gdk_display_get_default_seat(window.get_display()->gobj()))
        gdk_event_set_device(event, gdk_seat_get_keyboard(seat));
    window.event(event);
    gdk_event_free(event);
}

// Once the next file chooser is up and has loaded its folder (before that it takes no typed
// name), notes "folder/name [filters]" it proposes in `proposed`, then accepts `typed` or
// cancels without it. Call before whatever opens the chooser.
inline void answer_next_file_chooser(const std::optional<std::string>& typed, std::vector<std::string>& proposed) {
    Glib::signal_timeout().connect([typed, &proposed] {
        for (Gtk::Window* window : Gtk::Window::list_toplevels())
            if (auto* c = dynamic_cast<Gtk::FileChooserDialog*>(window);
                c && c->get_mapped() && !c->get_current_folder().empty()) {
                proposed.push_back(c->get_current_folder() + "/" + c->get_current_name());
                for (const auto& filter : c->list_filters()) proposed.back() += " [" + filter->get_name() + "]";
                if (typed) c->set_current_name(*typed);
                c->response(typed ? Gtk::RESPONSE_ACCEPT : Gtk::RESPONSE_CANCEL);
                return false;
            }
        return true;
    }, 20);
}
