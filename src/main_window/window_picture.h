#pragma once
// A PNG of the whole window as it shows now, for a screenshot asked from afar. The
// window is drawn on the UI thread; encoding the picture and writing the file, which
// take long for a wall's size, run in a worker.

#include <gtkmm/window.h>

#include <functional>
#include <string>

// done gets the PNG's bytes on the UI thread; file, when not empty, gets them too.
// A failure is one line on standard error, and done is not called.
void take_window_picture(Gtk::Window& window, const std::string& file,
                         std::function<void(const std::string& png)> done = {});
