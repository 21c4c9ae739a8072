#include "config_dialog/dialog_style.h"

#include <gdkmm/screen.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/stylecontext.h>

namespace {

// Tight paddings: the theme's own would not fit the controls into the dialog's
// small cells. background-image: none, or the theme's gradient hides the colour.
constexpr const char* style_sheet = R"css(
.orvalis-config { font-family: sans-serif; font-size: 8pt; }
.orvalis-config entry {
    font-family: Arial, "Liberation Sans", sans-serif; font-size: 8.25pt; font-weight: normal;
    min-height: 0; padding: 0 3px;
}
.orvalis-config button.orvalis-command {
    min-height: 0; min-width: 0; padding: 0 4px;
    background-image: none; box-shadow: none; text-shadow: none; color: black;
}
.orvalis-config button.orvalis-command:active { box-shadow: inset 1px 1px 2px rgba(0, 0, 0, 0.6); }
.orvalis-config button#Command1 { background-color: rgb(128, 128, 255); }
.orvalis-config button#Command4 { background-color: rgb(255, 128, 128); }
.orvalis-config button#Command3 { background-color: rgb(192, 192, 0); }
.orvalis-config button#Command2 { background-color: rgb(128, 255, 128); }
.orvalis-config checkbutton, .orvalis-config radiobutton { min-height: 0; padding: 0; }
)css";

}  // namespace

void install_config_dialog_style() {
    static bool installed = false;
    if (installed) return;
    auto screen = Gdk::Screen::get_default();
    if (!screen) return;
    auto provider = Gtk::CssProvider::create();
    provider->load_from_data(style_sheet);
    Gtk::StyleContext::add_provider_for_screen(screen, provider, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    installed = true;
}
