#pragma once
// The wall's commands from outside the window, as actions of the application, so
// that `gapplication action <id> refresh` and any D-Bus client drive it:
//   refresh                 what "Refresh" does
//   refresh-pane  i         reloads pane 1..4 now
//   timer         b         starts or stops the countdown, as "Timer on"/"Timer off"
//   fullscreen    b         full screen on or off
//   navigate      (is)      shows an address in pane 1..4 until the settings are read again
//   reload-settings         reads the settings file again, as at start
//   zoom          (id)      sets pane 1..4's zoom (1.0 is 100 %), to the nearest step
//   screenshot    s         writes a PNG of the whole window to the file named
//   screen        b         lights the wall (true) or darkens it (false) until the next edge of the dark hours
// GLib refuses a parameter of the wrong type; a value out of range changes nothing
// and is reported in one line on standard error, never in a dialog.

#include <gtkmm/application.h>

#include "main_window/main_window.h"

// Adds every action; a new one goes here, beside the others. Added before the
// application registers, so that no command finds the wall without them: they act
// on `wall` once it points at the window.
void add_wall_actions(const Glib::RefPtr<Gtk::Application>& app, MainWindow* const& wall);
