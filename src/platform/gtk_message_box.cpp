#include "platform/gtk_message_box.h"

#include <glibmm/ustring.h>
#include <gtkmm/messagedialog.h>

#include <memory>

namespace platform {

void GtkMessageBox::show(const std::string& text, const std::string& title, MessageIcon icon) {
    const auto type = icon == MessageIcon::Question ? Gtk::MESSAGE_QUESTION : Gtk::MESSAGE_WARNING;
    // Widgets take UTF-8 only; a stray byte must not reach them.
    const Glib::ustring safe = Glib::ustring(text).validate() ? Glib::ustring(text) : Glib::ustring("?");
    std::unique_ptr<Gtk::MessageDialog> box;
    if (parent_)
        box = std::make_unique<Gtk::MessageDialog>(*parent_, safe, false, type, Gtk::BUTTONS_OK, true);
    else
        box = std::make_unique<Gtk::MessageDialog>(safe, false, type, Gtk::BUTTONS_OK, true);
    box->set_title(title);
    box->set_position(Gtk::WIN_POS_CENTER);
    // Our tool windows keep above the others; a message must not hide behind them.
    box->set_keep_above(true);
    box->run();
}

}  // namespace platform
