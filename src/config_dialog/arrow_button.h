#pragma once
// One arrow of the configuration dialog: a 32x32 raised-button picture with a
// triangle, framed by a thin line while a mouse button is held on it. A press and
// a release of the primary button inside it make one step; what a step does is
// left to whoever listens to signal_step().

#include <gtkmm/drawingarea.h>

#include "config_dialog/scroll_positioning.h"

class ArrowButton : public Gtk::DrawingArea {
public:
    // The picture plus a one-pixel ring for the pressed frame.
    static constexpr int side = 34;

    ArrowButton(Arrow direction, const Glib::ustring& accessible_name);

    Arrow direction() const { return direction_; }
    // True while a mouse button that went down on the arrow is still held.
    bool pressed() const { return pressed_; }
    sigc::signal<void()>& signal_step() { return step_; }

protected:
    bool on_button_press_event(GdkEventButton* event) override;
    bool on_button_release_event(GdkEventButton* event) override;
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
    void on_unmap() override;

private:
    bool inside(double x, double y) const;
    void set_pressed(bool pressed);
    void draw_picture(const Cairo::RefPtr<Cairo::Context>& cr) const;

    Arrow direction_;
    bool pressed_ = false;
    bool primary_down_ = false;
    sigc::signal<void()> step_;
};
