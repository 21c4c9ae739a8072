#pragma once
// A pane's zoom, seen at a glance: for two seconds after a change, a small label in
// the pane's top right-hand corner says the new value ("75 %"). It takes no clicks,
// scrolls or focus. When the zoom changes is the pane's to say.

#include <gtkmm/label.h>
#include <gtkmm/overlay.h>
#include <sigc++/connection.h>

class ZoomLabel {
public:
    // page stays owned by the caller and must outlive this.
    explicit ZoomLabel(Gtk::Widget& page);
    ~ZoomLabel();

    Gtk::Widget& widget() { return overlay_; }
    void show(int percent);
    bool shown() const { return label_.get_visible(); }

private:
    Gtk::Overlay overlay_;
    Gtk::Label label_;
    sigc::connection hide_;
};
