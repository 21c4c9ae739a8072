#pragma once
// FileChooser over Gtk::FileChooserDialog: modal, a save-style chooser so that an
// existing file can be picked or a new name typed, never asking before
// overwriting (the caller decides what to do with the name).

#include <filesystem>
#include <string>

#include <gtkmm/window.h>

#include "platform/file_chooser.h"

namespace platform {

class GtkFileChooser : public FileChooser {
public:
    // parent may be null; the chooser then sits above whichever of our windows is active.
    explicit GtkFileChooser(Gtk::Window* parent = nullptr) : parent_(parent) {}
    void set_parent(Gtk::Window* parent) { parent_ = parent; }
    // What the first choice proposes: the settings file of the start. A missing
    // folder is made when the chooser opens, so that the name can be saved.
    void set_first_proposal(const std::filesystem::path& file) { first_proposal_ = file; }
    std::optional<std::string> choose(const std::string& title) override;

private:
    Gtk::Window* parent_;
    std::filesystem::path first_proposal_;
    std::string last_choice_;  // full name; empty until the user first picks one
};

}  // namespace platform
