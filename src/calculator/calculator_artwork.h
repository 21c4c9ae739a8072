#pragma once
// The calculator's own pictures, drawn in code so that nothing is read from disk:
// the maker's badge shown in `Image1` and the window icon.

#include <cairomm/context.h>
#include <gdkmm/pixbuf.h>

namespace calculator {

// The badge in a box of the given size, stretched to fill it as a picture would be.
void draw_maker_badge(const Cairo::RefPtr<Cairo::Context>& cr, double width, double height);

// A 32 by 32 icon: a euro coin on the display's yellow.
Glib::RefPtr<Gdk::Pixbuf> calculator_icon();

}  // namespace calculator
