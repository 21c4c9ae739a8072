#include "browser_pane/recovery/stale_strip.h"

#include <atkmm/object.h>

#include "platform/widget_style.h"

namespace {

// Readable from across the room on any page, light or dark.
constexpr const char* kStyle =
    "label.orvalis-stale{background-color:rgba(150,30,20,0.85);color:#fff;padding:2px 8px;font-weight:bold}";

}  // namespace

StaleStrip::StaleStrip(Gtk::Widget& page) {
    overlay_.add(page);
    overlay_.add_overlay(label_);
    // Clicks and scrolls go to the page underneath, as if the strip were not there.
    overlay_.set_overlay_pass_through(label_, true);
    label_.set_can_focus(false);
    label_.set_halign(Gtk::ALIGN_FILL);
    label_.set_valign(Gtk::ALIGN_END);
    label_.set_xalign(0);
    label_.set_single_line_mode(true);
    label_.set_ellipsize(Pango::ELLIPSIZE_END);
    platform::style_widget(label_, "orvalis-stale", kStyle);
    // A window's show_all() must not bring it up.
    label_.set_no_show_all(true);
    label_.hide();
    overlay_.show();
    page.show();
}

void StaleStrip::show(const std::string& text) {
    label_.set_text(text);
    if (auto accessible = label_.get_accessible())
        accessible->set_name(text);
    label_.show();
}

void StaleStrip::hide() { label_.hide(); }
