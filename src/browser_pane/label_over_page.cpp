#include "browser_pane/label_over_page.h"

#include "platform/widget_style.h"

void lay_label_over(Gtk::Overlay& overlay, Gtk::Widget& page, Gtk::Label& label, const char* style_class,
                    const char* css) {
    overlay.add(page);
    overlay.add_overlay(label);
    // Clicks and scrolls go to the page underneath, as if the label were not there.
    overlay.set_overlay_pass_through(label, true);
    label.set_can_focus(false);
    platform::style_widget(label, style_class, css);
    label.set_no_show_all(true);
    label.hide();
    overlay.show();
    page.show();
}
