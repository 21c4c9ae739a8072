// Orvalis: four web pages at once, held on their regions and reloaded on a countdown.

#include <gtkmm/application.h>

#include <glibmm/miscutils.h>
#include <glibmm/optioncontext.h>

#include <cstdlib>
#include <iostream>

#include "browser_pane/website_data.h"
#include "main_window/main_window.h"
#include "platform/command_line.h"
#include "platform/program_folder.h"
#include "settings/settings_location.h"

int main(int argc, char** argv) {
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

    // The desktop entry's name, which Wayland compositors match windows with (their
    // app id) and X11 docks read from the window class.
    g_set_prgname("org.orvalis.Orvalis");

    const char* xdg_config_home = std::getenv("XDG_CONFIG_HOME");
    const auto settings = settings::start_settings(platform::program_folder(), xdg_config_home ? xdg_config_home : "",
                                                   Glib::get_home_dir(), options.config);
    if (!settings.warning.empty()) std::cerr << settings.warning << '\n';
    keep_website_data(website_data_folders(options.config, Glib::get_user_data_dir(), Glib::get_user_cache_dir(),
                                           Glib::get_user_config_dir(), g_get_prgname()));

    // Every start is a program of its own: no application id, so no single-instance
    // behaviour and no D-Bus session needed.
    int app_argc = 1;
    char* app_argv[] = {argv[0], nullptr};
    char** app_args = app_argv;
    auto app = Gtk::Application::create(app_argc, app_args, Glib::ustring(), Gio::APPLICATION_NON_UNIQUE);

    WindowStart start(settings.file);
    start.chooser_proposal = settings.proposal;
    start.fullscreen = options.fullscreen;
    start.timer = options.timer;
    MainWindow window(start);
    return app->run(window);
}
