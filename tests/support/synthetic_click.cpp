#include "support/synthetic_click.h"

#include <gtk/gtk.h>

namespace {

void deliver(GtkWidget* widget, GdkEventType type, double x, double y) {
    GdkWindow* window = gtk_widget_get_window(widget);
    GdkEvent* event = gdk_event_new(type);
    gdk_event_set_device(event, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_window_get_display(window))));
    if (type == GDK_MOTION_NOTIFY) {
        event->motion.window = GDK_WINDOW(g_object_ref(window));
        event->motion.x = x;
        event->motion.y = y;
    } else {
        event->button.window = GDK_WINDOW(g_object_ref(window));
        event->button.x = x;
        event->button.y = y;
        event->button.button = 1;
    }
    gtk_widget_event(widget, event);
    gdk_event_free(event);
}

}  // namespace

void click_widget(Gtk::Widget& widget, double x, double y) {
    for (const GdkEventType type : {GDK_MOTION_NOTIFY, GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE})
        deliver(widget.gobj(), type, x, y);
}
