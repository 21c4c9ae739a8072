#pragma once
// MessageBox over Gtk::MessageDialog: modal, one OK button.

#include <gtkmm/window.h>

#include "platform/message_box.h"

namespace platform {

class GtkMessageBox : public MessageBox {
public:
    // parent may be null; the box is then centred on the screen.
    explicit GtkMessageBox(Gtk::Window* parent = nullptr) : parent_(parent) {}
    void set_parent(Gtk::Window* parent) { parent_ = parent; }
    void show(const std::string& text, const std::string& title, MessageIcon icon) override;

private:
    Gtk::Window* parent_;
};

}  // namespace platform
