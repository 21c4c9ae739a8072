#include "platform/widget_style.h"

#include <gtkmm/cssprovider.h>

#include <map>

namespace platform {

void apply_css(Gtk::Widget& widget, const char* css) {
    static std::map<const char*, Glib::RefPtr<Gtk::CssProvider>> parsed;
    auto& provider = parsed[css];
    if (!provider) {
        provider = Gtk::CssProvider::create();
        provider->load_from_data(css);
    }
    widget.get_style_context()->add_provider(provider, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

}  // namespace platform
