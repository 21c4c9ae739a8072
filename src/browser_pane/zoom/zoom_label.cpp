#include "browser_pane/zoom/zoom_label.h"

#include <glibmm/main.h>

#include <string>

#include "browser_pane/label_over_page.h"

namespace {

// Quieter than the stale strip, which reports a fault: this only confirms a change.
constexpr const char* kStyle =
    "label.orvalis-zoom{background-color:rgba(30,30,30,0.8);color:#fff;padding:2px 8px;font-weight:bold}";

constexpr unsigned kShownMs = 2000;

}  // namespace

ZoomLabel::ZoomLabel(Gtk::Widget& page) {
    lay_label_over(overlay_, page, label_, "orvalis-zoom", kStyle);
    label_.set_halign(Gtk::ALIGN_END);
    label_.set_valign(Gtk::ALIGN_START);
    // Clear of the edge and of a page's scroll bar.
    label_.set_margin_top(6);
    label_.set_margin_end(22);
}

ZoomLabel::~ZoomLabel() { hide_.disconnect(); }

void ZoomLabel::show(int percent) {
    label_.set_text(std::to_string(percent) + " %");
    label_.show();
    hide_.disconnect();
    hide_ = Glib::signal_timeout().connect([this] {
        label_.hide();
        return false;
    }, kShownMs);
}
