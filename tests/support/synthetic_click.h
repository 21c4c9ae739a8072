#pragma once
// A left click delivered to a widget as if from the mouse, for tests of what pages
// allow only after a user's gesture (new windows, before-unload questions).

#include <gtkmm/widget.h>

// x and y in the coordinates of the widget's GdkWindow: its own window's, or for a
// widget without one (a button, a check box) its parent's, where its allocation is
// measured. The widget must be realized.
void click_widget(Gtk::Widget& widget, double x, double y);

// A click at (x, y) of widget's GdkWindow, delivered as the windowing system would
// deliver a real one: to the widget whose window lies topmost under that point, at
// the point's place in that window.
void click_at(Gtk::Widget& widget, double x, double y);
