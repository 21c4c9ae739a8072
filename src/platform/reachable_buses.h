#pragma once
// The desktop's buses, tried before WebKit starts. WebKit hands them to its page
// processes through a proxy in its sandbox, and ends the whole program when a bus it
// is told about has gone: a session that ended, an ssh login, a service started with
// a stale environment. Under Restart=always that is a restart loop with nothing on the
// screen. With no session bus named at all, GLib would start one of its own through
// dbus-launch, which outlives the wall and is shared by everything on its display.
//
// So each bus named to the program (the session bus, and the accessibility bus that
// AT_SPI_BUS_ADDRESS names or the session announces) is given a moment to answer. One
// that does not is put out of reach of GLib, GTK and WebKit alike, and the wall runs
// without it: no remote commands or --status without the session bus, no screen
// reader without the accessibility bus. No session bus is ever started here; the
// accessibility bus is the session's to start, as it would be for GTK and WebKit.

#include <string>

namespace platform {

// Changes the environment of this process, before any thread starts. The answer is
// one line for standard error when a bus is missing, else empty.
std::string keep_to_reachable_buses();

}  // namespace platform
