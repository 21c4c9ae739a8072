#pragma once
// Gives one widget a style sheet of its own, leaving every other widget as the
// theme draws it.

#include <gtkmm/widget.h>

namespace platform {

// css must outlive the program (a literal): each distinct sheet is parsed once.
void apply_css(Gtk::Widget& widget, const char* css);

}  // namespace platform
