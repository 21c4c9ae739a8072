// The real main window on pages of a local server: start-up, the menu bar's one-click
// entries, the scroll hold driven by the real timer, the manual refresh, and shutdown.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <atkmm/object.h>
#include <glibmm/main.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <memory>
#include <string>

#include "main_window/main_window.h"
#include "support/local_http_server.h"
#include "support/pane_probe.h"
#include "support/wait_until.h"

namespace {

// What the window system says of the window, as a window manager or a pager sees it.
bool full_screen(Gtk::Window& window) {
    const auto gdk = window.get_window();
    return gdk && (gdk->get_state() & Gdk::WINDOW_STATE_FULLSCREEN);
}

using namespace std::chrono_literals;

std::string long_page(bool standards_mode, const std::string& title) {
    return std::string(standards_mode ? "<!DOCTYPE html>" : "") + "<html><head><title>" + title +
           "</title></head><body style='margin:0'><div style='width:5000px;height:5000px;"
           "background:linear-gradient(#fff,#00f)'>" + title + "</div></body></html>";
}

class MainWindowTest : public ::testing::Test {
protected:
    std::filesystem::path dir;
    LocalHttpServer server;
    std::unique_ptr<MainWindow> window;
    int loads = 0;

    MainWindowTest() {
        char pattern[] = "/tmp/orvalis-main-XXXXXX";
        dir = mkdtemp(pattern);
        // Panes 1 and 3 are standards-mode pages, 2 and 4 quirks-mode ones.
        for (int n = 1; n <= 4; ++n)
            server.serve("/p" + std::to_string(n), "text/html; charset=utf-8",
                         long_page(n % 2 == 1, "pagina " + std::to_string(n)));
    }
    ~MainWindowTest() override {
        window.reset();
        std::filesystem::remove_all(dir);
    }

    // Writes dati.cfg with the given offsets and flags, the four local pages and a launcher.
    void write_settings(const std::string& offsets, const std::string& flags) {
        std::ofstream out(dir / "dati.cfg", std::ios::binary);
        out << offsets;
        for (int n = 1; n <= 4; ++n) out << server.url("/p" + std::to_string(n)) << "\r\n";
        out << flags << "/usr/bin/true\r\n";
    }

    // Starts the window and waits until every pane has loaded its page once.
    void start(bool wall_screen = false) {
        WindowStart how(dir / "dati.cfg");
        how.fullscreen = how.timer = wall_screen;
        window = std::make_unique<MainWindow>(how);
        for (int n = 1; n <= 4; ++n)
            window->pane(n).signal_load_finished().connect([this] { ++loads; });
        if (!wall_screen) window->unmaximize();
        window->show();
        ASSERT_TRUE(wait_until([this] { return loads >= 4; }, 30s)) << "loads finished: " << loads;
        ASSERT_TRUE(wait_until([this] {
            for (int n = 1; n <= 4; ++n)
                if (window->pane(n).is_loading()) return false;
            return true;
        }, 30s));
    }

    std::string js(int pane, const std::string& script) {
        return script_result(window->pane(pane), script).value_or("<no answer>");
    }
    std::string scroll_of(int pane) {
        return js(pane, "document.scrollingElement.scrollLeft + ',' + document.scrollingElement.scrollTop");
    }
};

std::string label(Gtk::MenuItem& item) { return item.get_label(); }

// The input window GTK delivers the widget's pointer events to: a menu item has one
// of its own, a child of the window it draws into.
GdkWindow* input_window_of(Gtk::Widget& widget) {
    GdkWindow* drawn_into = gtk_widget_get_window(widget.gobj());
    GList* children = gdk_window_get_children(drawn_into);
    GdkWindow* found = drawn_into;
    for (GList* c = children; c; c = c->next) {
        gpointer owner = nullptr;
        gdk_window_get_user_data(GDK_WINDOW(c->data), &owner);
        if (owner == widget.gobj()) found = GDK_WINDOW(c->data);
    }
    g_list_free(children);
    return found;
}

// A press and a release as the X server would send them, through GTK's own event routing.
void quick_click(Gtk::Widget& widget) {
    GdkWindow* target = input_window_of(widget);
    const auto alloc = widget.get_allocation();
    guint32 time = 1000;
    for (GdkEventType type : {GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE}) {
        GdkEvent* event = gdk_event_new(type);
        GdkSeat* seat = gdk_display_get_default_seat(gdk_window_get_display(target));
        gdk_event_set_device(event, gdk_seat_get_pointer(seat));
        event->button.window = GDK_WINDOW(g_object_ref(target));
        event->button.time = time++;  // released at once: the click stock menu bars ignore
        event->button.button = 1;
        event->button.x = alloc.get_width() / 2.0;
        event->button.y = alloc.get_height() / 2.0;
        gtk_main_do_event(event);
        gdk_event_free(event);
    }
}

// The menu entry whose accessible name is caption, found as an accessibility tool finds it.
Gtk::MenuItem* menu_entry(Gtk::Widget& root, const std::string& caption) {
    if (auto* item = dynamic_cast<Gtk::MenuItem*>(&root); item && item->get_accessible()->get_name() == caption)
        return item;
    if (auto* container = dynamic_cast<Gtk::Container*>(&root))
        for (Gtk::Widget* child : container->get_children())
            if (auto* found = menu_entry(*child, caption)) return found;
    return nullptr;
}

TEST_F(MainWindowTest, StartsOnItsPagesAndOneQuickClickStartsTheTimerThatHoldsThem) {
    write_settings(" 10 \r\n 300 \r\n 20 \r\n 400 \r\n\r\n 500 \r\n 40 \r\n\r\n",
                   " 1 \r\n 0 \r\n 2 \r\n 1 \r\n");
    start();
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(js(n, "document.title"), "pagina " + std::to_string(n));
        EXPECT_EQ(window->config_dialog().text(n), server.url("/p" + std::to_string(n)));
    }
    EXPECT_EQ(window->config_dialog().check(3), 2);
    EXPECT_EQ(window->config_dialog().text(5), "/usr/bin/true");
    EXPECT_FALSE(window->config_dialog().get_visible()) << "the dialog is created hidden";
    EXPECT_EQ(label(window->contatore_entry()), "000");
    Gtk::MenuItem* tempo = menu_entry(*window, "Timer on");
    ASSERT_NE(tempo, nullptr);

    quick_click(*tempo);
    EXPECT_EQ(label(*tempo), "Timer off");
    const std::string expected[4] = {"10,300", "20,400", "0,500", "40,0"};
    for (int n = 1; n <= 4; ++n)
        EXPECT_TRUE(wait_until([&] { return scroll_of(n) == expected[n - 1]; }, 5s))
            << "pane " << n << " is at " << scroll_of(n);
    // Scrolled away by hand, a pane comes back within a tick or two.
    js(2, "window.scrollTo(0, 0); 'moved'");
    EXPECT_TRUE(wait_until([&] { return scroll_of(2) == "20,400"; }, 3s)) << scroll_of(2);
    EXPECT_NE(label(window->contatore_entry()), "000");

    quick_click(*tempo);
    EXPECT_EQ(label(*tempo), "Timer on");
}

// Full screen itself is the window manager's to grant, and the test display has none:
// the Wayland smoke test sees it granted, and F11 toggle it.
TEST_F(MainWindowTest, WallScreenStartRunsTheCountdownAndAsksForFullScreen) {
    write_settings("\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n", " 0 \r\n 0 \r\n 0 \r\n 0 \r\n");
    start(/*wall_screen=*/true);
    EXPECT_NE(menu_entry(*window, "Timer off"), nullptr);
    EXPECT_TRUE(wait_until([this] { return label(window->contatore_entry()) != "000"; }, 3s))
        << "the countdown does not run";
    EXPECT_TRUE(full_screen(*window));

    // The pointer goes out of sight over the wall, also over the pages, and comes back
    // when it moves or the window leaves full screen.
    const auto blank = [](Gtk::Widget& widget) {
        GdkCursor* cursor = gdk_window_get_cursor(widget.get_window()->gobj());
        return cursor && gdk_cursor_get_cursor_type(cursor) == GDK_BLANK_CURSOR;
    };
    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default()));
    gdk_device_warp(pointer, gdk_screen_get_default(), 100, 100);
    EXPECT_TRUE(wait_until([&] { return blank(*window) && blank(window->pane(4).widget()); }, 10s));
    gdk_device_warp(pointer, gdk_screen_get_default(), 300, 200);
    EXPECT_TRUE(wait_until([&] { return !blank(*window); }, 5s));
    EXPECT_TRUE(wait_until([&] { return blank(*window); }, 10s));
    // Without a window manager the test display cannot leave full screen: say it did.
    GdkEvent* left = gdk_event_new(GDK_WINDOW_STATE);
    left->window_state.window = GDK_WINDOW(g_object_ref(window->get_window()->gobj()));
    left->window_state.changed_mask = GDK_WINDOW_STATE_FULLSCREEN;
    gtk_main_do_event(left);
    gdk_event_free(left);
    EXPECT_FALSE(blank(*window) || blank(window->pane(4).widget()));
}

TEST_F(MainWindowTest, RefreshReloadsExactlyThePanesFlaggedOne) {
    write_settings("\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n", " 1 \r\n 0 \r\n 2 \r\n 1 \r\n");
    start();
    for (int n = 1; n <= 4; ++n) ASSERT_EQ(server.request_count("/p" + std::to_string(n)), 1);
    loads = 0;
    window->RefreshManuale_Click();
    ASSERT_TRUE(wait_until([this] { return loads >= 2; }, 20s));
    EXPECT_EQ(server.request_count("/p1"), 2);
    EXPECT_EQ(server.request_count("/p2"), 1);
    EXPECT_EQ(server.request_count("/p3"), 1) << "a grey flag does not reload";
    EXPECT_EQ(server.request_count("/p4"), 2);
    EXPECT_EQ(label(window->contatore_entry()), "000") << "the counter is left alone";
}

TEST_F(MainWindowTest, ClosingTheMainWindowClosesEveryOtherWindow) {
    write_settings("\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n", " 0 \r\n 0 \r\n 0 \r\n 0 \r\n");
    start();
    window->Configura_Click();
    window->Calcolatore_Click();
    window->Cerca_Click();
    ASSERT_TRUE(window->config_dialog().get_visible());
    ASSERT_NE(window->calculator_window(), nullptr);
    ASSERT_NE(window->search_window(), nullptr);

    window->close();
    EXPECT_TRUE(wait_until_no_window_visible(5s));
    EXPECT_EQ(window->calculator_window(), nullptr);
    EXPECT_EQ(window->search_window(), nullptr);
}

// Delivers a close request from the window's frame, as the window manager sends it.
void close_through_frame(Gtk::Window& window) {
    GdkEvent* event = gdk_event_new(GDK_DELETE);
    event->any.window = GDK_WINDOW(g_object_ref(window.get_window()->gobj()));
    gtk_main_do_event(event);
    gdk_event_free(event);
}

TEST_F(MainWindowTest, AToolWindowReopenedRightAfterClosingStaysOpen) {
    write_settings("\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n", " 0 \r\n 0 \r\n 0 \r\n 0 \r\n");
    start();
    using Opened = std::function<Gtk::Window*()>;
    const std::pair<void (MainWindow::*)(), Opened> tools[] = {
        {&MainWindow::Calcolatore_Click, [this] { return window->calculator_window(); }},
        {&MainWindow::Cerca_Click, [this] { return window->search_window(); }},
    };
    for (const auto& [open, opened] : tools) {
        (window.get()->*open)();
        ASSERT_TRUE(wait_until([&] { return opened()->get_realized(); }, 5s));
        close_through_frame(*opened());
        EXPECT_FALSE(opened() && opened()->get_visible());
        // Reopened from the keyboard before the closed window is freed.
        (window.get()->*open)();
        bool idle_ran = false;
        Glib::signal_idle().connect_once([&] { idle_ran = true; }, Glib::PRIORITY_LOW);
        ASSERT_TRUE(wait_until([&] { return idle_ran; }, 5s));
        ASSERT_NE(opened(), nullptr);
        EXPECT_TRUE(opened()->get_visible());
    }
}

}  // namespace
