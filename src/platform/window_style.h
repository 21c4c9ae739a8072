#pragma once
// Gives a window a style sheet of its own: the sheet's rules are written under a
// style class, the window carries that class, and so the rules reach the window's
// own widgets and no other window's.

#include <gtkmm/window.h>

namespace platform {

// css must outlive the program (a literal) and scope every rule under
// .style_class; each distinct sheet is added to the screen once.
void style_window(Gtk::Window& window, const char* style_class, const char* css);

}  // namespace platform
