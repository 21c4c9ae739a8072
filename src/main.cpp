// Orvalis: four web pages at once, held on their regions and reloaded on a countdown.

#include <glib-unix.h>
#include <gtkmm/application.h>

#include <glibmm/miscutils.h>
#include <glibmm/optioncontext.h>

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "platform/engine_allocator.h"
#include "browser_pane/website_data/website_data.h"
#include "credentials/credentials_file.h"
#include "main_window/main_window.h"
#include "main_window/wall_actions.h"
#include "main_window/wall_status.h"
#include "options/wall_options.h"
#include "platform/command_line.h"
#include "platform/program_folder.h"
#include "platform/reachable_buses.h"
#include "platform/service_notify.h"
#include "platform/wall_bus.h"
#include "remote/wall_device.h"
#include "settings/settings_location.h"

namespace {

// WebKit's page processes find their display in the environment, not in GTK: a wall
// started with --display from ssh or a service, with no DISPLAY set, would see them
// fail and be ended with them. They get the display GTK opened, however it was chosen.
void pass_display_to_page_processes() {
    GdkDisplay* display = gdk_display_get_default();
    if (!display) return;
    const std::string type = G_OBJECT_TYPE_NAME(display);
    const char* name = gdk_display_get_name(display);
    if (type == "GdkX11Display") g_setenv("DISPLAY", name, TRUE);
    if (type == "GdkWaylandDisplay") g_setenv("WAYLAND_DISPLAY", name, TRUE);
}

}  // namespace

int main(int argc, char** argv) {
    // GLib's option parsing takes the options it knows out of argv.
    std::vector<char*> arguments(argv, argv + argc + 1);
    // Options are read before anything opens the display: a wrong one ends the
    // program with GLib's message and no window.
    platform::CommandLine options;
    try {
        options = platform::parse_command_line(argc, argv);
    } catch (const Glib::OptionError& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    if (options.version) {
        std::cout << "Orvalis " ORVALIS_VERSION "\n";
        return 0;
    }

    const char* xdg_config_home = std::getenv("XDG_CONFIG_HOME");
    const auto settings = settings::start_settings(platform::program_folder(), xdg_config_home ? xdg_config_home : "",
                                                   Glib::get_home_dir(), options.config);
    const std::string id = platform::wall_application_id(options.config ? std::optional(settings.file) : std::nullopt);

    // Answered without a display, so that they work over ssh.
    if (options.app_id) {
        std::cout << id << '\n';
        return 0;
    }
    // Before anything asks for the session bus, which GLib would otherwise start itself.
    const std::string missing_bus = platform::keep_to_reachable_buses();
    if (options.status) {
        const auto lines = platform::ask_wall_status(id);
        if (!lines) {
            std::cerr << "orvalis: nessuna parete in esecuzione con l'id " << id << '\n';
            return 1;
        }
        for (const auto& line : *lines) std::cout << line << '\n';
        return 0;
    }
    // A second start of a running wall brings that wall forward and opens nothing.
    if (platform::raise_running_wall(id)) return 0;
    if (!missing_bus.empty()) std::cerr << missing_bus << '\n';
    platform::send_engine_allocations_through_malloc(arguments.data());

    if (!settings.warning.empty()) std::cerr << settings.warning << '\n';
    // The desktop entry's name, which Wayland compositors match windows with (their
    // app id) and X11 docks read from the window class.
    g_set_prgname("org.orvalis.Orvalis");

    // Registered before the window is built: a start that lost the race to another
    // one of the same wall hands over and loads nothing. Without a session bus the
    // registration succeeds as a wall of its own, as every start was before.
    auto app = Gtk::Application::create(id);
    // The commands, and the answer to a second start, are in place before the id is
    // claimed: a caller that finds the id finds them too.
    MainWindow* wall = nullptr;
    add_wall_actions(app, wall);
    app->signal_activate().connect([&wall] {
        if (wall) wall->present();
    });
    // Stopped by the service manager or from a terminal, the wall ends as when its
    // window closes: what is still to be written (the zoom) is written, and it exits 0.
    for (const int signal : {SIGTERM, SIGINT})
        g_unix_signal_add(signal, [](gpointer application) -> gboolean {
            g_application_quit(G_APPLICATION(application));
            return G_SOURCE_CONTINUE;
        }, app->gobj());
    try {
        app->register_application();
    } catch (const Glib::Error& error) {
        std::cerr << "orvalis: " << error.what() << '\n';
    }
    if (app->is_remote()) {
        app->activate();
        return 0;
    }
    // Each wall keeps its logins, local storage and caches in folders of its own.
    keep_website_data(website_data_folders(options.config ? std::optional(settings.file) : std::nullopt,
                                           Glib::get_user_data_dir(), Glib::get_user_cache_dir(),
                                           Glib::get_user_config_dir(), g_get_prgname()));
    pass_display_to_page_processes();
    // The logins the panes answer with, read once, before the first page asks.
    {
        const char* systemd_credentials = std::getenv("CREDENTIALS_DIRECTORY");
        auto logins = credentials::read_credentials(
            credentials::user_credentials_file(),
            systemd_credentials ? std::optional<std::filesystem::path>(systemd_credentials) : std::nullopt);
        for (const auto& complaint : logins.complaints) std::cerr << complaint << '\n';
        credentials::keep_credentials(std::move(logins.credentials));
    }

    WindowStart start(settings.file);
    start.chooser_proposal = settings.proposal;
    start.fullscreen = options.fullscreen;
    start.timer = options.timer;
    const auto wall_options = options::read_wall_options();
    for (const auto& line : wall_options.complaints) std::cerr << line << '\n';
    {
        auto dark = screen::read_dark_hours(wall_options.group("Schermo"));
        for (const auto& line : dark.complaints) std::cerr << line << '\n';
        start.dark_hours = std::move(dark.hours);
    }
    MainWindow window(start);
    wall = &window;
    // Gone before the window: its last word on the broker is that the wall is offline.
    const auto mqtt_device = remote::start_wall_device(window, id, wall_options.group("MQTT"));
    if (GDBusConnection* bus = g_application_get_dbus_connection(G_APPLICATION(app->gobj())))
        platform::offer_wall_status(bus, g_application_get_dbus_object_path(G_APPLICATION(app->gobj())),
                                    [&window] { return pane_status_lines(window.health(), !window.screen().lit()); });
    platform::ServiceNotifier service([&window] { return service_status_line(window.health(), !window.screen().lit()); });
    // The first loads started with the window; it is ready once it shows.
    sigc::connection shown = window.signal_map().connect([&service, &shown] {
        service.ready();
        shown.disconnect();
    });
    const int status = app->run(window);
    wall = nullptr;
    return status;
}
