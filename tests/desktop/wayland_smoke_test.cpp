// Orvalis on Wayland: the main window under Weston's headless compositor, started as
// a wall screen (full screen, countdown running), shows its four pages and closes
// with every window it opened.
// GTK is set up inside the test, once Weston is there; without Weston it is skipped.

#include <gtest/gtest.h>
#include <gdk/gdkwayland.h>
#include <gtk/gtk.h>
#include <wayland-client.h>
#include <gdkmm/monitor.h>
#include <glibmm/miscutils.h>
#include <gtkmm/main.h>

#include <filesystem>
#include <string>
#include <vector>

#include "main_window/main_window.h"
#include "support/files.h"
#include "support/local_http_server.h"
#include "support/pane_probe.h"
#include "support/program_run.h"
#include "support/wait_until.h"
#include "support/widgets.h"

namespace {

// What the window system says of the window, as a window manager or a pager sees it.
bool full_screen(Gtk::Window& window) {
    const auto gdk = window.get_window();
    return gdk && (gdk->get_state() & Gdk::WINDOW_STATE_FULLSCREEN);
}

// Whether a compositor answers on the socket and offers xdg_wm_base, without which GTK
// refuses the display.
bool serves_window_shell(const char* socket) {
    wl_display* display = wl_display_connect(socket);
    if (!display) return false;
    bool offered = false;
    static const wl_registry_listener listener{
        [](void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
            if (std::string(interface) == "xdg_wm_base") *static_cast<bool*>(data) = true;
        },
        [](void*, wl_registry*, uint32_t) {}};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &offered);
    const bool answered = wl_display_roundtrip(display) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return answered && offered;
}

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Critical messages from GLib, GTK or WebKit mean something went wrong even when nothing
// crashed. Weston's headless backend has no seat, and GDK complains of the missing
// keyboard and pointer whenever focus moves: those say nothing about the program.
std::vector<std::string> criticals;

GLogWriterOutput note_criticals(GLogLevelFlags level, const GLogField* fields, gsize n, gpointer) {
    for (gsize i = 0; i < n && (level & (G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_ERROR)); ++i) {
        if (std::string(fields[i].key) != "MESSAGE") continue;
        const std::string message(static_cast<const char*>(fields[i].value));
        if (message.find("GDK_IS_SEAT") != std::string::npos || message.find("GDK_IS_DEVICE") != std::string::npos)
            return G_LOG_WRITER_HANDLED;
        criticals.push_back(message);
    }
    return g_log_writer_default(level, fields, n, nullptr);
}

TEST(Wayland, WallScreenStartShowsTheFourPagesAndClosesCleanly) {
    const std::string program = Glib::find_program_in_path("weston");
    if (program.empty()) GTEST_SKIP() << "weston is not installed (Debian package weston): no Wayland compositor to test on";
    // Headless, on a socket in a runtime folder of its own (only the owner's, as Wayland wants it).
    TempFolder runtime{"orvalis-wayland"};
    RunningProgram weston({program, "--backend=headless-backend.so", "--socket=orvalis-0", "--idle-time=0", "--no-config"},
                          {"XDG_RUNTIME_DIR=" + runtime.path().string()});
    g_setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), TRUE);
    // Weston gives no sign of readiness: its socket appears before it listens, and it may
    // still give up after that. Ready is when a client of ours is served a window shell.
    ASSERT_TRUE(wait_until([&] { return serves_window_shell("orvalis-0") || weston.ended(); }, 20s) && !weston.ended())
        << "Weston did not start:\n" << weston.err();
    g_setenv("WAYLAND_DISPLAY", "orvalis-0", TRUE);
    g_setenv("GDK_BACKEND", "wayland", TRUE);
    g_unsetenv("DISPLAY");  // no way back to X11, for GTK or for WebKit's processes
    g_setenv("NO_AT_BRIDGE", "1", TRUE);
    g_setenv("GSETTINGS_BACKEND", "memory", TRUE);
    for (const char* variable : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
        g_setenv(variable, (runtime / variable).c_str(), TRUE);
    g_log_set_writer_func(note_criticals, nullptr, nullptr);

    ASSERT_TRUE(gtk_init_check(nullptr, nullptr))
        << "GTK cannot open the Wayland display; Weston " << (weston.ended() ? "has ended" : "runs") << ":\n"
        << weston.err();
    Gtk::Main::init_gtkmm_internals();
    ASSERT_TRUE(GDK_IS_WAYLAND_DISPLAY(gdk_display_get_default()));

    LocalHttpServer server;
    std::string addresses;
    for (const std::string n : {"1", "2", "3", "4"}) {
        server.serve("/p" + n, "text/html; charset=utf-8", "<!DOCTYPE html><title>pagina " + n + "</title>pagina " + n);
        addresses += server.url("/p" + n) + "\n";
    }
    const fs::path settings = write_file(runtime / "dati.cfg", std::string(8, '\n') + addresses);

    WindowStart wall_screen(settings);
    wall_screen.fullscreen = wall_screen.timer = true;
    auto window = std::make_unique<MainWindow>(wall_screen);
    int loads = 0;
    for (int n = 1; n <= 4; ++n) window->pane(n).signal_load_finished().connect([&] { ++loads; });
    window->show();
    ASSERT_TRUE(wait_until([&] { return loads >= 4; }, 60s)) << "loads finished: " << loads;
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(script_result(window->pane(n), "document.title"), "pagina " + std::to_string(n));
    ASSERT_TRUE(wait_until([&] { return full_screen(*window); }, 10s)) << "Weston did not make it full screen";
    Gdk::Rectangle output;
    window->get_display()->get_monitor(0)->get_geometry(output);
    EXPECT_TRUE(window->countdown_entry().is_visible()) << "the menu bar stays in full screen";
    EXPECT_TRUE(wait_until([&] { return window->countdown_entry().get_label() != "000"; }, 10s)) << "no countdown";
    press_key(*window, GDK_KEY_F11);
    EXPECT_TRUE(wait_until([&] { return !full_screen(*window); }, 5s)) << "F11 does not leave full screen";
    // Back to maximized below Weston's panel; a request before the compositor's answer is applied would be lost.
    EXPECT_TRUE(wait_until([&] { return window->get_height() < output.get_height(); }, 5s)) << window->get_height();
    press_key(*window, GDK_KEY_F11);
    EXPECT_TRUE(wait_until([&] { return full_screen(*window); }, 5s)) << "F11 does not go back to full screen";

    // Nothing keeps a window above others on Wayland but being transient for one.
    window->open_config_dialog();
    window->open_calculator();
    window->open_search();
    for (const Gtk::Window* tool : std::initializer_list<const Gtk::Window*>{
             &window->config_dialog(), window->calculator_window(), window->search_window()})
        EXPECT_TRUE(tool && tool->get_transient_for() == window.get());
    window->close();
    EXPECT_TRUE(wait_until_no_window_visible(10s));
    window.reset();
    EXPECT_FALSE(weston.ended()) << weston.err();
    for (const auto& message : criticals) ADD_FAILURE() << "critical: " << message;
}

}  // namespace
