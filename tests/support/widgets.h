#pragma once
// A window's widgets of one kind, found as a screen reader walks them: depth first; and
// a key pressed in a window.

#include <gtkmm/window.h>

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
