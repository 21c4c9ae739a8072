#include "platform/widget_style.h"

#include <gdkmm/screen.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/stylecontext.h>

#include <set>

namespace platform {

void style_widget(Gtk::Widget& widget, const char* style_class, const char* css) {
    static std::set<const char*> installed;
    widget.get_style_context()->add_class(style_class);
    if (installed.contains(css)) return;
    auto screen = Gdk::Screen::get_default();
    if (!screen) return;
    auto provider = Gtk::CssProvider::create();
    provider->load_from_data(css);
    Gtk::StyleContext::add_provider_for_screen(screen, provider, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    installed.insert(css);
}

}  // namespace platform
