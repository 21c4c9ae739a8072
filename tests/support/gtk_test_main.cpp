// main() for window and web tests: GTK and gtkmm are set up before the tests run, but
// not for listing them, which must work without a display. The web engine's data and
// cache go to a folder of the run's own: test programs running side by side share no
// cookie store or cache, and nothing lands in $HOME. WebKit allocates in this process
// as it does in the program's.

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include <cstdio>

#include "platform/engine_allocator.h"
#include "support/files.h"

int main(int argc, char** argv) {
    platform::send_engine_allocations_through_malloc(argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    // Without a session bus the accessibility bridge only waits for time-outs, and
    // dconf, behind the file chooser's settings, warns on every access.
    g_setenv("NO_AT_BRIDGE", "1", FALSE);
    g_setenv("GSETTINGS_BACKEND", "memory", FALSE);
    const TempFolder data_folder{"orvalis-test"};
    for (const char* variable : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
        g_setenv(variable, (data_folder / variable).c_str(), TRUE);
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "Cannot open a display: run window tests under xvfb-run -a\n");
        return 1;
    }
    Gtk::Main::init_gtkmm_internals();
    return RUN_ALL_TESTS();
}
