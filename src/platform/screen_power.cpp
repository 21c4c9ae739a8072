#include "platform/screen_power.h"

#include <gio/gio.h>

#include <iostream>

#include "platform/wlr_output_power.h"

// Last: Xlib's macros (None, Status, ...) must not meet the headers above.
#include <gdk/gdkwayland.h>
#include <gdk/gdkx.h>
#include <X11/extensions/dpms.h>

namespace platform {

ScreenPower::ScreenPower(GdkDisplay* display) : display_(display) {
    if (GDK_IS_X11_DISPLAY(display)) {
        Display* x = GDK_DISPLAY_XDISPLAY(display);
        int event_base = 0, error_base = 0;
        if (DPMSQueryExtension(x, &event_base, &error_base) && DPMSCapable(x)) way_ = Way::x11_dpms;
    } else if (GDK_IS_WAYLAND_DISPLAY(display)) {
        wlroots_ = std::make_unique<WlrOutputPower>(gdk_wayland_display_get_wl_display(display));
        way_ = wlroots_->available() ? Way::wlroots : Way::mutter;
    }
}

ScreenPower::~ScreenPower() {
    g_cancellable_cancel(cancellable_);
    g_object_unref(cancellable_);
}

void ScreenPower::set_on(bool on) {
    switch (way_) {
    case Way::x11_dpms: {
        // DPMSForceLevel is refused (BadMatch) while DPMS is disabled; an X error is
        // trapped, never the end of the program.
        Display* x = GDK_DISPLAY_XDISPLAY(display_);
        gdk_x11_display_error_trap_push(display_);
        if (!on) {
            CARD16 level = 0;
            BOOL enabled = True;
            if (DPMSInfo(x, &level, &enabled)) dpms_was_enabled_ = enabled;
            DPMSEnable(x);
            DPMSForceLevel(x, DPMSModeOff);
        } else {
            DPMSForceLevel(x, DPMSModeOn);
            if (!dpms_was_enabled_) DPMSDisable(x);
        }
        XFlush(x);
        gdk_x11_display_error_trap_pop_ignored(display_);
        break;
    }
    case Way::wlroots:
        wlroots_->set_on(on);
        break;
    case Way::mutter: {
        // 0 is on, 3 off; an answer that it failed means no Mutter, found out once.
        // The application's own connection: asking for one could block.
        GApplication* app = g_application_get_default();
        GDBusConnection* bus = app ? g_application_get_dbus_connection(app) : nullptr;
        if (!bus) {
            say_none_applies();
            break;
        }
        g_dbus_connection_call(bus, "org.gnome.Mutter.DisplayConfig", "/org/gnome/Mutter/DisplayConfig",
                               "org.freedesktop.DBus.Properties", "Set",
                               g_variant_new("(ssv)", "org.gnome.Mutter.DisplayConfig", "PowerSaveMode",
                                             g_variant_new_int32(on ? 0 : 3)),
                               nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START, -1, cancellable_,
                               &ScreenPower::on_mutter_answer, this);
        break;
    }
    case Way::none:
        if (!on) say_none_applies();
        break;
    }
}

void ScreenPower::on_mutter_answer(GObject* bus, GAsyncResult* result, gpointer data) {
    GError* error = nullptr;
    GVariant* answer = g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, &error);
    if (answer) g_variant_unref(answer);
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
        g_error_free(error);
        return;  // the object is gone
    }
    if (error) {
        auto* self = static_cast<ScreenPower*>(data);
        self->way_ = Way::none;
        self->say_none_applies();
        g_error_free(error);
    }
}

void ScreenPower::say_none_applies() {
    if (said_none_) return;
    said_none_ = true;
    std::cerr << "orvalis: questo schermo non si spegne da qui (né DPMS su X11, né il protocollo di potenza "
                 "delle uscite di wlroots, né Mutter): di notte resta solo la copertura nera\n";
}

}  // namespace platform
