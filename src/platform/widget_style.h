#pragma once
// Gives a widget a style sheet of its own: the sheet's rules are written under a
// style class, the widget carries that class, and so the rules reach the widget and
// what it holds (a window's controls) and nothing else.

#include <gtkmm/widget.h>

namespace platform {

// css must outlive the program (a literal) and scope every rule under
// .style_class; each distinct sheet is added to the screen once.
void style_widget(Gtk::Widget& widget, const char* style_class, const char* css);

}  // namespace platform
