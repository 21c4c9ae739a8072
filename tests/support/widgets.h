#pragma once
// A window's widgets of one kind, found as a screen reader walks them: depth first.

#include <gtkmm/container.h>

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
