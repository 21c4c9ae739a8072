#include "platform/gtk_file_chooser.h"

#include <filesystem>

#include <glibmm/convert.h>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/filefilter.h>

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
    // name are proposed separately; the first time, the settings file of the start.
    const std::filesystem::path proposed = last_choice_.empty() ? first_proposal_ : std::filesystem::path(last_choice_);
    if (proposed.has_parent_path()) {
        // The user's own settings folder does not exist until something is saved in it.
        std::error_code ignored;
        if (std::filesystem::create_directories(proposed.parent_path(), ignored))
            std::filesystem::permissions(proposed.parent_path(), std::filesystem::perms::owner_all, ignored);
        dialog.set_current_folder(proposed.parent_path().string());
    }
    // The name field holds UTF-8; an odd byte in an old name must not reach it.
    dialog.set_current_name(Glib::filename_display_name(proposed.filename().string()));

    if (dialog.run() != Gtk::RESPONSE_ACCEPT) return std::nullopt;
    const std::string chosen = dialog.get_filename();
    if (chosen.empty()) return std::nullopt;
    last_choice_ = chosen;
    return chosen;
}

}  // namespace platform
