#pragma once
// A label laid over a pane's page, as the stale strip and the zoom label are: it takes
// no clicks, scrolls or focus, wears a style sheet of its own, and stays hidden until
// its owner shows it (a window's show_all() does not bring it up). Where it sits and
// what it says are the owner's.

#include <gtkmm/label.h>
#include <gtkmm/overlay.h>

// page stays owned by the caller and must outlive the overlay. css as for
// platform::style_widget.
void lay_label_over(Gtk::Overlay& overlay, Gtk::Widget& page, Gtk::Label& label, const char* style_class,
                    const char* css);
