#pragma once
// What a running wall says about itself to those who are not at the screen: the
// lines of `orvalis --status`, and the one line the service manager shows.

#include <array>
#include <string>
#include <vector>

#include "browser_pane/pane_health.h"

using WallHealth = std::array<PaneHealth, 4>;

// One line a pane: "2 http://host/page aggiornata alle 14:05", or
// "2 http://host/page non aggiornata dalle 14:05: <what failed>", or
// "2 http://host/page accesso non riuscito" while it waits on a login; then, on a
// dark wall, "schermo spento".
std::vector<std::string> pane_status_lines(const WallHealth& panes, bool screen_dark = false);

// "4 pagine, 1 non aggiornata dalle 14:05", with ", accesso richiesto" or ", accesso non
// riuscito" when a pane waits on a login; panes without an address are not counted.
// A dark wall adds ", schermo spento" at the end.
std::string service_status_line(const WallHealth& panes, bool screen_dark = false);
