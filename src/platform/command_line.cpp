#include "platform/command_line.h"

#include <gtk/gtk.h>

#include <glibmm/optioncontext.h>
#include <glibmm/optionentry.h>
#include <glibmm/optiongroup.h>

#include <string>

namespace platform {

namespace {

Glib::OptionEntry entry(const char* long_name, const char* description, const char* value_name = nullptr) {
    Glib::OptionEntry e;
    e.set_long_name(long_name);
    e.set_description(description);
    if (value_name) e.set_arg_description(value_name);
    return e;
}

}  // namespace

CommandLine parse_command_line(int& argc, char**& argv) {
    CommandLine result;
    // GLib leaves the string alone when the option is not given: this tells an
    // absent --config from an empty one.
    const std::string not_given(1, '\0');
    std::string config = not_given;

    Glib::OptionGroup options("orvalis", "Opzioni di Orvalis", "Mostra le opzioni di Orvalis");
    options.add_entry(entry("fullscreen", "Apre la finestra a schermo intero (F11 la alterna)"), result.fullscreen);
    options.add_entry(entry("timer", "Avvia subito il conto alla rovescia, come «Timer on»"), result.timer);
    options.add_entry_filename(entry("config", "Legge le impostazioni da FILE invece che da dati.cfg", "FILE"),
                               config);
    options.add_entry(entry("version", "Mostra la versione ed esce"), result.version);
    options.add_entry(entry("status", "Chiede alla parete in esecuzione come stanno i riquadri ed esce"),
                      result.status);
    options.add_entry(entry("app-id", "Mostra l'id con cui raggiungere la parete su D-Bus ed esce"), result.app_id);

    Glib::OptionContext context;
    context.set_summary("Quattro pagine web alla volta, ricaricate a tempo e tenute sulla loro zona.");
    context.set_main_group(options);
    // GTK's own options are parsed here too, without opening the display yet.
    g_option_context_add_group(context.gobj(), gtk_get_option_group(FALSE));
    context.parse(argc, argv);

    if (argc > 1)
        throw Glib::OptionError(Glib::OptionError::BAD_VALUE, std::string("Argomento inatteso: ") + argv[1]);
    if (config.empty())
        throw Glib::OptionError(Glib::OptionError::BAD_VALUE, "--config vuole il nome di un file, non un testo vuoto");
    if (config != not_given) result.config = config;
    return result;
}

}  // namespace platform
