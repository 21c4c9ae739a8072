#include "main_window/startup.h"

#include <cstdint>

#include "settings/settings_operations.h"

void load_start_settings(SettingsStore& store, const std::filesystem::path& settings_file,
               DialogFields& dialog, const PaneSet& panes) {
    store.Dati[0] = Value(std::int16_t{120});
    const Value pane4_address = startup_read(store, settings_file);

    dialog.set_text(1, store.Dati[1].to_text());
    dialog.set_text(2, store.Dati[2].to_text());
    dialog.set_text(3, store.Dati[3].to_text());
    dialog.set_text(4, pane4_address.to_text());
    for (int n = 1; n <= 4; ++n) {
        // A flag that is not 0, 1 or 2 leaves its box as it was.
        if (const auto flag = store.Dati[3 + n].to_int16()) dialog.set_check(n, *flag);
    }
    dialog.set_text(5, store.Dati[8].to_text());

    const std::string addresses[4] = {store.Dati[1].to_text(), store.Dati[2].to_text(),
                                      store.Dati[3].to_text(), pane4_address.to_text()};
    for (int n = 0; n < 4; ++n)
        if (panes[n]) panes[n]->navigate(addresses[n]);
    for (Pane* pane : panes)
        if (pane) pane->set_silent(true);
}
