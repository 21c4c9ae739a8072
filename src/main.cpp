// Orvalis: four web pages at once, held on their regions and reloaded on a countdown.

#include <gtkmm/application.h>

#include "main_window/main_window.h"
#include "platform/program_folder.h"

int main() {
    // The program takes no arguments of its own, and every start is a program of its
    // own: no application id, so no single-instance behaviour and no D-Bus session needed.
    int argc = 1;
    char name[] = "orvalis";
    char* args[] = {name, nullptr};
    char** argv = args;
    auto app = Gtk::Application::create(argc, argv, Glib::ustring(), Gio::APPLICATION_NON_UNIQUE);

    MainWindow window(platform::program_folder() / "dati.cfg");
    return app->run(window);
}
