#include "platform/gtk_file_chooser.h"

#include <filesystem>

#include <glibmm/convert.h>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/filefilter.h>

#include "platform/program_folder.h"

namespace platform {

namespace {

// The configuration dialog stays above other windows, so a chooser without a
// parent could open hidden behind it.
Gtk::Window* active_window() {
    for (Gtk::Window* window : Gtk::Window::list_toplevels())
        if (window->is_active()) return window;
    return nullptr;
}

}  // namespace

std::optional<std::string> GtkFileChooser::choose(const std::string& title) {
    Gtk::FileChooserDialog dialog(title, Gtk::FILE_CHOOSER_ACTION_SAVE);
    if (Gtk::Window* parent = parent_ ? parent_ : active_window()) dialog.set_transient_for(*parent);
    dialog.set_modal(true);
    dialog.set_do_overwrite_confirmation(false);
    dialog.add_button("_Annulla", Gtk::RESPONSE_CANCEL);
    dialog.add_button("_OK", Gtk::RESPONSE_ACCEPT);
    dialog.set_default_response(Gtk::RESPONSE_ACCEPT);

    auto filter = Gtk::FileFilter::create();
    filter->set_name("Files di Configurazione (*.cfg)");
    filter->add_pattern("*.cfg");
    dialog.add_filter(filter);

    // A save-style chooser only selects names that exist, so the folder and the
    // name are proposed separately; the first time, dati.cfg beside the program.
    const std::filesystem::path proposed =
        last_choice_.empty() ? program_folder() / "dati.cfg" : std::filesystem::path(last_choice_);
    if (proposed.has_parent_path()) dialog.set_current_folder(proposed.parent_path().string());
    // The name field holds UTF-8; an odd byte in an old name must not reach it.
    dialog.set_current_name(Glib::filename_display_name(proposed.filename().string()));

    if (dialog.run() != Gtk::RESPONSE_ACCEPT) return std::nullopt;
    const std::string chosen = dialog.get_filename();
    if (chosen.empty()) return std::nullopt;
    last_choice_ = chosen;
    return chosen;
}

}  // namespace platform
