#pragma once
// The outermost widget of a pane: whatever shows the page, with a one-line strip
// along its bottom edge that says the page is older than the last attempt to load
// it. The strip takes no clicks and no focus; its accessible name is its text.
// When it shows, and what it says, is the pane's.

#include <gtkmm/label.h>
#include <gtkmm/overlay.h>

#include <string>

class StaleStrip {
public:
    // page stays owned by the caller and must outlive this.
    explicit StaleStrip(Gtk::Widget& page);

    Gtk::Widget& widget() { return overlay_; }
    void show(const std::string& text);
    void hide();

private:
    Gtk::Overlay overlay_;
    Gtk::Label label_;
};
