#pragma once
// A left click delivered as if from the mouse, for what pages allow only after a
// user's gesture (new windows, before-unload questions). The widget must be realized.

#include <gtkmm/widget.h>

// At (x, y) of widget's GdkWindow (for a widget without one, such as a button, its
// parent's, where its allocation is measured), delivered as the windowing system
// would: to the widget whose window lies topmost under that point.
void click_at(Gtk::Widget& widget, double x, double y);
