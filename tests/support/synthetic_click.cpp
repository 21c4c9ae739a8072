#include "support/synthetic_click.h"

#include <gtk/gtk.h>

void click_at(Gtk::Widget& widget, double x, double y) {
    // Down the window tree as GDK picks the target of a real click: the topmost
    // visible child window under the point, in that window's coordinates, each time.
    GdkWindow* window = gtk_widget_get_window(widget.gobj());
    for (bool deeper = true; deeper;) {
        deeper = false;
        for (GList* child = gdk_window_peek_children(window); child && !deeper; child = child->next) {
            auto* candidate = GDK_WINDOW(child->data);
            int left = 0, top = 0;
            gdk_window_get_position(candidate, &left, &top);
            if (!gdk_window_is_visible(candidate) || x < left || y < top ||
                x >= left + gdk_window_get_width(candidate) || y >= top + gdk_window_get_height(candidate))
                continue;
            window = candidate;
            x -= left;
            y -= top;
            deeper = true;
        }
    }
    gpointer owner = nullptr;
    gdk_window_get_user_data(window, &owner);
    // Motion to the point, then press and release there, as a mouse sends them.
    for (const GdkEventType type : {GDK_MOTION_NOTIFY, GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE}) {
        GdkEvent* event = gdk_event_new(type);
        gdk_event_set_device(event, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_window_get_display(window))));
        event->any.window = GDK_WINDOW(g_object_ref(window));
        if (type == GDK_MOTION_NOTIFY)
            event->motion.x = x, event->motion.y = y;
        else
            event->button.x = x, event->button.y = y, event->button.button = 1;
        gtk_widget_event(GTK_WIDGET(owner), event);
        gdk_event_free(event);
    }
}
