#include "platform/twips.h"
#include "platform/widget_style.h"
#include "search/search_window.h"

#include <cairomm/context.h>
#include <cairomm/surface.h>
#include <gdkmm/pixbuf.h>
#include <glibmm/main.h>

#include <cmath>
#include <string>

#include "maker_site.h"
#include "search/search_address.h"

namespace {


// The theme's entries and buttons are taller than the box's 19-pixel line.
constexpr const char* kStyle =
    ".orvalis-search entry, .orvalis-search button { min-height: 0; padding-top: 0; padding-bottom: 0; }";

// A 16 by 16 magnifying glass, drawn here so that nothing is read from disk.
Glib::RefPtr<Gdk::Pixbuf> search_icon() {
    constexpr int kSize = 16;
    auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, kSize, kSize);
    auto cr = Cairo::Context::create(surface);
    cr->arc(6.5, 6.5, 4.5, 0, 2 * M_PI);
    cr->set_source_rgb(0.75, 0.9, 1.0);
    cr->fill_preserve();
    cr->set_source_rgb(0.1, 0.2, 0.45);
    cr->set_line_width(2);
    cr->stroke();
    cr->set_line_width(3);
    cr->move_to(10, 10);
    cr->line_to(15, 15);
    cr->stroke();
    surface->flush();
    return Gdk::Pixbuf::create(surface, 0, 0, kSize, kSize);
}

}  // namespace

SearchWindow::SearchWindow(platform::ProcessLauncher& launcher) : launcher_(launcher), go_button_("Vai") {
    set_title("Cerca sul WEB con " + std::string(maker_site::kSearchSiteName));
    platform::style_widget(*this, "orvalis-search", kStyle);
    set_resizable(false);
    set_type_hint(Gdk::WINDOW_TYPE_HINT_DIALOG);  // no maximize or minimize box
    set_position(Gtk::WIN_POS_CENTER);
    set_keep_above(true);
    set_icon(search_icon());
    layout_.set_size_request(platform::twips_to_pixels(5505), platform::twips_to_pixels(390));
    add(layout_);

    query_box_.set_size_request(platform::twips_to_pixels(4245), platform::twips_to_pixels(285));
    query_box_.get_accessible()->set_name("Cerca");
    layout_.put(query_box_, platform::twips_to_pixels(90), platform::twips_to_pixels(45));

    go_button_.set_size_request(platform::twips_to_pixels(1005), platform::twips_to_pixels(285));
    go_button_.get_accessible()->set_name("Vai");
    layout_.put(go_button_, platform::twips_to_pixels(4455), platform::twips_to_pixels(45));

    go_button_.signal_clicked().connect(sigc::mem_fun(*this, &SearchWindow::search));
    query_box_.signal_activate().connect(sigc::mem_fun(*this, &SearchWindow::search_after_pending_events));

    show_all_children();
    query_box_.grab_focus();
}

void SearchWindow::search() {
    launcher_.open_uri(search_address(query_box_.get_text().raw()));
    hide();
}

// Enter lets the events already waiting (a countdown tick, say) run first. An idle
// callback rather than a nested loop: if one of those events destroys the box, the
// slot, bound to the window, dies with it instead of running on a dead window.
void SearchWindow::search_after_pending_events() {
    Glib::signal_idle().connect_once(sigc::mem_fun(*this, &SearchWindow::search_and_clear));
}

void SearchWindow::search_and_clear() {
    search();
    query_box_.set_text("");
}
