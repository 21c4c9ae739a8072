#include "support/wait_until.h"

#include <glib.h>
#include <gtkmm/window.h>

bool wait_until(const std::function<bool()>& pred, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    // A blocking iteration may wait for ever when nothing happens; the heartbeat
    // wakes it so the deadline is seen.
    const guint heartbeat = g_timeout_add(10, +[](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    bool met;
    while (!(met = pred()) && std::chrono::steady_clock::now() < end)
        g_main_context_iteration(nullptr, TRUE);
    g_source_remove(heartbeat);
    return met;
}

bool wait_until_no_window_visible(std::chrono::milliseconds deadline) {
    return wait_until([] {
        for (Gtk::Window* window : Gtk::Window::list_toplevels())
            if (window->get_visible()) return false;
        return true;
    }, deadline);
}
