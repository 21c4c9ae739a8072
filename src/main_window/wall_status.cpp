#include "main_window/wall_status.h"

#include <algorithm>

#include "browser_pane/login/login_texts.h"
#include "text/address_text.h"

namespace {

bool stale(const PaneHealth& pane) { return !pane.address.empty() && !pane.failure.empty(); }

std::string since(const PaneHealth& pane) {
    return pane.last_good.empty() ? "mai caricata" : "non aggiornata dalle " + pane.last_good;
}

}  // namespace

std::vector<std::string> pane_status_lines(const WallHealth& panes, bool screen_dark) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < panes.size(); ++i) {
        const PaneHealth& pane = panes[i];
        std::string line = std::to_string(i + 1) + " ";
        const std::string address = text::address_without_credentials(pane.address);
        if (pane.address.empty())
            line += "(nessun indirizzo)";
        else if (!pane.login.empty())
            line += address + " " + pane.login;
        else if (stale(pane))
            line += address + " " + since(pane) + ": " + pane.failure;
        else if (pane.last_good.empty())
            line += address + " in caricamento";
        else
            line += address + " aggiornata alle " + pane.last_good;
        lines.push_back(line);
    }
    if (screen_dark) lines.push_back("schermo spento");
    return lines;
}

std::string service_status_line(const WallHealth& panes, bool screen_dark) {
    const auto shown = std::count_if(panes.begin(), panes.end(), [](const auto& p) { return !p.address.empty(); });
    std::string line = std::to_string(shown) + (shown == 1 ? " pagina" : " pagine");
    int stale_count = 0;
    const PaneHealth* oldest = nullptr;
    for (const PaneHealth& pane : panes) {
        if (!stale(pane))
            continue;
        ++stale_count;
        // "HH:MM" sorts as the clock does within a day; one never loaded is the oldest.
        if (!oldest || pane.last_good < oldest->last_good)
            oldest = &pane;
    }
    // A pane that waits on a login says so, whatever its page shows.
    for (const char* login : {kLoginRequiredStatus, kLoginFailedStatus})
        if (std::any_of(panes.begin(), panes.end(), [login](const auto& p) { return p.login == login; }))
            line += std::string(", ") + login;
    if (oldest)
        line += ", " + std::to_string(stale_count) + " " +
                (stale_count == 1 ? since(*oldest) : (oldest->last_good.empty() ? "non aggiornate, una mai caricata"
                                                                                 : "non aggiornate dalle " + oldest->last_good));
    if (screen_dark) line += ", schermo spento";
    return line;
}
