#include "platform/gtk_message_box.h"
#include "text/text_encoding.h"

#include <glibmm/ustring.h>
#include <gtkmm/image.h>
#include <gtkmm/messagedialog.h>

#include <memory>

namespace platform {

void GtkMessageBox::show(const std::string& text, const std::string& title, MessageIcon icon) {
    const bool question = icon == MessageIcon::Question;
    // Widgets take UTF-8 only; a stray byte must not reach them.
    const Glib::ustring safe = text::repair_utf8(text);
    // GTK sets the first line in bold; the rest reads as ordinary text below it.
    const auto line_end = safe.find('\n');
    const Glib::ustring headline = safe.substr(0, line_end);
    const auto type = question ? Gtk::MESSAGE_QUESTION : Gtk::MESSAGE_WARNING;
    std::unique_ptr<Gtk::MessageDialog> box;
    if (parent_)
        box = std::make_unique<Gtk::MessageDialog>(*parent_, headline, false, type, Gtk::BUTTONS_OK, true);
    else
        box = std::make_unique<Gtk::MessageDialog>(headline, false, type, Gtk::BUTTONS_OK, true);
    if (line_end != Glib::ustring::npos) box->set_secondary_text(safe.substr(line_end + 1));
    // GTK 3 no longer draws the icon its message type names; the box shows it itself.
    Gtk::Image image;
    image.set_from_icon_name(question ? "dialog-question" : "dialog-warning", Gtk::ICON_SIZE_DIALOG);
    image.show();
    box->set_image(image);
    box->set_title(title);
    box->set_position(Gtk::WIN_POS_CENTER);
    // Our tool windows keep above the others; a message must not hide behind them.
    box->set_keep_above(true);
    box->run();
}

}  // namespace platform
