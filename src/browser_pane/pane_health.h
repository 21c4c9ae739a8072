#pragma once
// How a pane stands, for those who ask from outside the window (the service manager,
// a status request over D-Bus): what it is meant to show and whether it shows it.

#include <string>

struct PaneHealth {
    std::string address;    // what the pane is meant to show
    std::string last_good;  // "HH:MM" of the last good load; empty before the first
    std::string failure;    // what went wrong since then; empty while the page is good
    std::string login;      // "accesso richiesto" or "accesso non riuscito" while it waits on a login
};
