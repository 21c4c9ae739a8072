#pragma once
// The program's icon, drawn at run time so that nothing is loaded from disk: four
// panes in a frame, the program's one idea.

#include <gdkmm/pixbuf.h>

Glib::RefPtr<Gdk::Pixbuf> orvalis_icon(int size);
