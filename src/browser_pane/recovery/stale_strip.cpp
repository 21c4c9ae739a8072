#include "browser_pane/recovery/stale_strip.h"

#include <atkmm/object.h>

#include "browser_pane/label_over_page.h"

namespace {

// Readable from across the room on any page, light or dark.
constexpr const char* kStyle =
    "label.orvalis-stale{background-color:rgba(150,30,20,0.85);color:#fff;padding:2px 8px;font-weight:bold}";

}  // namespace

StaleStrip::StaleStrip(Gtk::Widget& page) {
    lay_label_over(overlay_, page, label_, "orvalis-stale", kStyle);
    label_.set_halign(Gtk::ALIGN_FILL);
    label_.set_valign(Gtk::ALIGN_END);
    label_.set_xalign(0);
    label_.set_single_line_mode(true);
    label_.set_ellipsize(Pango::ELLIPSIZE_END);
}

void StaleStrip::show(const std::string& text) {
    label_.set_text(text);
    if (auto accessible = label_.get_accessible())
        accessible->set_name(text);
    label_.show();
}

void StaleStrip::hide() { label_.hide(); }
