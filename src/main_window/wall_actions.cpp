#include "main_window/wall_actions.h"

#include <glibmm/variant.h>

#include <iostream>
#include <string>
#include <tuple>

namespace {

bool valid_pane(const char* action, int n) {
    if (n >= 1 && n <= 4) return true;
    std::cerr << "orvalis: " << action << ": il riquadro " << n << " non esiste (sono 1, 2, 3, 4)\n";
    return false;
}

template <class T>
T value_of(const Glib::VariantBase& parameter) {
    return Glib::VariantBase::cast_dynamic<Glib::Variant<T>>(parameter).get();
}

}  // namespace

void add_wall_actions(const Glib::RefPtr<Gtk::Application>& app, MainWindow& window) {
    MainWindow* w = &window;
    app->add_action("refresh", [w] { w->refresh_flagged_panes(); });
    app->add_action("reload-settings", [w] { w->reload_settings(); });

    app->add_action_with_parameter("refresh-pane", Glib::VARIANT_TYPE_INT32, [w](const Glib::VariantBase& p) {
        const int n = value_of<int>(p);
        if (valid_pane("refresh-pane", n)) w->pane(n).refresh();
    });
    app->add_action_with_parameter("timer", Glib::VARIANT_TYPE_BOOL,
                                  [w](const Glib::VariantBase& p) { w->set_timer(value_of<bool>(p)); });
    app->add_action_with_parameter("screen", Glib::VARIANT_TYPE_BOOL,
                                  [w](const Glib::VariantBase& p) { w->screen().set_lit(value_of<bool>(p)); });
    app->add_action_with_parameter("fullscreen", Glib::VARIANT_TYPE_BOOL, [w](const Glib::VariantBase& p) {
        if (value_of<bool>(p)) w->fullscreen();
        else w->unfullscreen();
    });
    app->add_action_with_parameter(
        "navigate", Glib::VariantType("(is)"), [w](const Glib::VariantBase& p) {
            const auto [n, address] = value_of<std::tuple<int, Glib::ustring>>(p);
            if (!valid_pane("navigate", n)) return;
            if (address.empty()) {
                std::cerr << "orvalis: navigate: l'indirizzo è vuoto\n";
                return;
            }
            w->pane(n).navigate(address);
        });
    app->add_action_with_parameter("zoom", Glib::VariantType("(id)"), [w](const Glib::VariantBase& p) {
        const auto [n, factor] = value_of<std::tuple<int, double>>(p);
        if (!valid_pane("zoom", n)) return;
        if (!(factor > 0)) {
            std::cerr << "orvalis: zoom: " << factor << " non è un ingrandimento\n";
            return;
        }
        w->zoom().set(n, factor);
    });
}
