#include "main_window/wall_actions.h"

#include <glibmm/variant.h>

#include <iostream>
#include <string>
#include <tuple>

#include "main_window/window_picture.h"

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

void add_wall_actions(const Glib::RefPtr<Gtk::Application>& app, MainWindow* const& wall) {
    // Each command with the wall it acts on; one that comes while the window is still
    // being built is refused in one line, never lost without a word.
    const auto on_wall = [&wall](const char* action, auto command) {
        return [&wall, action, command](const auto&... parameter) {
            if (wall) command(*wall, parameter...);
            else std::cerr << "orvalis: " << action << ": la parete non è ancora pronta\n";
        };
    };
    app->add_action("refresh", on_wall("refresh", [](MainWindow& w) { w.refresh_flagged_panes(ReloadCause::schedule); }));
    app->add_action("reload-settings", on_wall("reload-settings", [](MainWindow& w) { w.reload_settings(); }));

    app->add_action_with_parameter("refresh-pane", Glib::VARIANT_TYPE_INT32,
                                   on_wall("refresh-pane", [](MainWindow& w, const Glib::VariantBase& p) {
                                       const int n = value_of<int>(p);
                                       if (valid_pane("refresh-pane", n)) w.pane(n).refresh(ReloadCause::schedule);
                                   }));
    app->add_action_with_parameter("timer", Glib::VARIANT_TYPE_BOOL,
                                   on_wall("timer", [](MainWindow& w, const Glib::VariantBase& p) {
                                       w.set_timer(value_of<bool>(p));
                                   }));
    app->add_action_with_parameter("screen", Glib::VARIANT_TYPE_BOOL,
                                   on_wall("screen", [](MainWindow& w, const Glib::VariantBase& p) {
                                       w.screen().set_lit(value_of<bool>(p));
                                   }));
    app->add_action_with_parameter("fullscreen", Glib::VARIANT_TYPE_BOOL,
                                   on_wall("fullscreen", [](MainWindow& w, const Glib::VariantBase& p) {
                                       if (value_of<bool>(p)) w.fullscreen();
                                       else w.unfullscreen();
                                   }));
    app->add_action_with_parameter(
        "navigate", Glib::VariantType("(is)"), on_wall("navigate", [](MainWindow& w, const Glib::VariantBase& p) {
            const auto [n, address] = value_of<std::tuple<int, Glib::ustring>>(p);
            if (!valid_pane("navigate", n)) return;
            if (address.empty()) {
                std::cerr << "orvalis: navigate: l'indirizzo è vuoto\n";
                return;
            }
            w.pane(n).navigate(address);
        }));
    app->add_action_with_parameter(
        "zoom", Glib::VariantType("(id)"), on_wall("zoom", [](MainWindow& w, const Glib::VariantBase& p) {
            const auto [n, factor] = value_of<std::tuple<int, double>>(p);
            if (!valid_pane("zoom", n)) return;
            if (!(factor > 0)) {
                std::cerr << "orvalis: zoom: " << factor << " non è un ingrandimento\n";
                return;
            }
            w.zoom().set(n, factor);
        }));
    app->add_action_with_parameter(
        "screenshot", Glib::VARIANT_TYPE_STRING, on_wall("screenshot", [](MainWindow& w, const Glib::VariantBase& p) {
            const std::string file = value_of<Glib::ustring>(p);
            if (file.empty()) std::cerr << "orvalis: screenshot: manca il nome del file\n";
            else take_window_picture(w, file);
        }));
}
