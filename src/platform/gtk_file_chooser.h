#pragma once
// FileChooser over Gtk::FileChooserDialog: modal, a save-style chooser so that an
// existing file can be picked or a new name typed, never asking before
// overwriting (the caller decides what to do with the name).

#include <string>

#include <gtkmm/window.h>

#include "platform/file_chooser.h"

namespace platform {

class GtkFileChooser : public FileChooser {
public:
    // parent may be null; the chooser then sits above whichever of our windows is active.
    explicit GtkFileChooser(Gtk::Window* parent = nullptr) : parent_(parent) {}
    void set_parent(Gtk::Window* parent) { parent_ = parent; }
    std::optional<std::string> choose(const std::string& title) override;

private:
    Gtk::Window* parent_;
    std::string last_choice_;  // full name; empty until the user first picks one
};

}  // namespace platform
