// main() for window and web tests: GTK and gtkmm are set up before the tests run,
// but not for listing them, which must work without a display. Each run keeps the
// web engine's data and cache in a folder of its own, so test processes running
// side by side never share a cookie store or cache, and nothing lands in $HOME.

#include <gtest/gtest.h>

#include <glib.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

bool only_listing() {
#ifdef GTEST_FLAG_GET
    return GTEST_FLAG_GET(list_tests);
#else
    return ::testing::GTEST_FLAG(list_tests);
#endif
}

std::string private_data_folder() {
    gchar* folder = g_dir_make_tmp("orvalis-test-XXXXXX", nullptr);
    if (!folder)
        return {};
    const std::string path = folder;
    g_free(folder);
    for (const char* variable : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
        g_setenv(variable, (path + "/" + variable).c_str(), TRUE);
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (only_listing())
        return RUN_ALL_TESTS();

    // Without a session bus the accessibility bridge only waits for time-outs.
    g_setenv("NO_AT_BRIDGE", "1", FALSE);
    const std::string data_folder = private_data_folder();
    if (!gtk_init_check(&argc, &argv)) {
        const char* display = g_getenv("DISPLAY");
        std::fprintf(stderr, "Cannot open display \"%s\": run window tests under xvfb-run -a\n",
                     display ? display : "");
        return 1;
    }
    Gtk::Main::init_gtkmm_internals();

    const int result = RUN_ALL_TESTS();
    if (!data_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(data_folder, ignored);
    }
    return result;
}
