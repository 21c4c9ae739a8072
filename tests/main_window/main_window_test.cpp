// The real main window on pages of a local server: start-up, the menu bar's one-click
// entries, the scroll hold driven by the real timer, the manual refresh, and the tool
// windows. The wall-screen start and closing every window are the Wayland smoke test's.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <atkmm/object.h>
#include <glibmm/main.h>

#include <algorithm>
#include <memory>
#include <string>

#include "main_window/main_window.h"
#include "main_window/wall_actions.h"
#include "support/files.h"
#include "support/local_http_server.h"
#include "support/pane_probe.h"
#include "support/synthetic_click.h"
#include "support/wait_until.h"
#include "support/widgets.h"

namespace {

using namespace std::chrono_literals;
using ::testing::AllOf;
using ::testing::HasSubstr;

class MainWindowTest : public ::testing::Test {
protected:
    TempFolder dir{"orvalis-main"};
    LocalHttpServer server;
    int loads = 0;
    std::unique_ptr<MainWindow> window;  // last, so that it goes first

    MainWindowTest() {
        for (int n = 1; n <= 4; ++n)
            server.serve("/p" + std::to_string(n), "text/html", "<!DOCTYPE html><body style='margin:0'>"
                         "<div style='width:5000px;height:5000px;background:linear-gradient(#fff,#00f)'>");
    }

    // Writes dati.cfg with the given offsets and flags, the local pages (pane 4's unless given) and a launcher.
    void write_settings(const std::string& offsets, const std::string& flags, std::string fourth = "") {
        std::string addresses;
        for (int n = 1; n <= 3; ++n) addresses += server.url("/p" + std::to_string(n)) + "\r\n";
        fourth = fourth.empty() ? server.url("/p4") : fourth;
        write_file(dir / "dati.cfg", offsets + addresses + fourth + "\r\n" + flags + "/usr/bin/true\r\n");
    }

    // Starts the window and waits until every pane has loaded its page once.
    void start(bool wall_screen = false) {
        WindowStart how(dir / "dati.cfg");
        how.fullscreen = how.timer = wall_screen;
        window = std::make_unique<MainWindow>(how);
        for (int n = 1; n <= 4; ++n)
            window->pane(n).signal_load_finished().connect([this] { ++loads; });
        window->unmaximize();
        window->show();
        ASSERT_TRUE(wait_until([this] {
            for (int n = 1; n <= 4; ++n)
                if (window->pane(n).is_loading()) return false;
            return loads >= 4;
        }, 30s)) << "loads finished: " << loads;
    }
    std::string scroll_of(int pane) { return scroll_offset(window->pane(pane)); }
};

TEST_F(MainWindowTest, StartsOnItsPagesRefreshesTheFlaggedOnesAndOneQuickClickStartsTheTimer) {
    write_settings(" 10 \r\n 300 \r\n 20 \r\n 400 \r\n\r\n 500 \r\n 40 \r\n\r\n",
                   " 1 \r\n 0 \r\n 2 \r\n 1 \r\n");
    start();
    // Refresh reloads the panes flagged 1 (a grey flag is off).
    loads = 0;
    window->refresh_flagged_panes_by_person();
    ASSERT_TRUE(wait_until([this] { return loads >= 2 && !window->pane(1).is_loading(); }, 20s));
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(server.request_count("/p" + std::to_string(n)), n == 1 || n == 4 ? 2 : 1) << "pane " << n;

    // The entry found by its accessible name, as an accessibility tool finds it, and clicked in
    // its middle with a press and a release at once: the click stock menu bars ignore.
    const auto items = widgets_of<Gtk::MenuItem>(*window);
    const auto tempo =
        std::find_if(items.begin(), items.end(), [](auto* i) { return i->get_accessible()->get_name() == "Timer on"; });
    ASSERT_NE(tempo, items.end());
    const auto middle = (*tempo)->get_allocation();
    click_at(**tempo, middle.get_x() + middle.get_width() / 2.0, middle.get_y() + middle.get_height() / 2.0);
    EXPECT_EQ((*tempo)->get_label(), "Timer off");
    const std::string expected[4] = {"10,300", "20,400", "0,500", "40,0"};
    for (int n = 1; n <= 4; ++n)
        EXPECT_TRUE(wait_until([&] { return scroll_of(n) == expected[n - 1]; }, 5s)) << "pane " << n;
}

// The pointer goes out of sight over the wall, also over a page that keeps changing its
// cursor, and comes back when it moves.
TEST_F(MainWindowTest, OnAWallScreenAStillPointerGoesOutOfSightUntilItMoves) {
    server.serve("/cursor", "text/html", "<!DOCTYPE html><body style='margin:0;height:3000px'><script>let n = 0;"
                 "setInterval(() => { document.body.style.cursor = ++n % 2 ? 'pointer' : 'text'; scrollTo(0, n % 2) },"
                 " 100)</script>");
    write_settings("\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n", " 0 \r\n 0 \r\n 0 \r\n 0 \r\n", server.url("/cursor"));
    start(/*wall_screen=*/true);
    const auto blank = [](Gtk::Widget& widget) {
        GdkCursor* cursor = gdk_window_get_cursor(widget.get_window()->gobj());
        return cursor && gdk_cursor_get_cursor_type(cursor) == GDK_BLANK_CURSOR;
    };
    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default()));
    Gtk::Widget& page = page_view(window->pane(4));
    int x = 0, y = 0;
    page.get_window()->get_origin(x, y);
    gdk_device_warp(pointer, gdk_screen_get_default(), x + page.get_allocated_width() / 2,
                    y + page.get_allocated_height() / 2);
    EXPECT_TRUE(wait_until([&] { return blank(*window) && blank(page); }, 10s));
    EXPECT_FALSE(wait_until([&] { return !blank(page); }, 2s)) << "the page's cursor came back";
    gdk_device_warp(pointer, gdk_screen_get_default(), 300, 200);
    EXPECT_TRUE(wait_until([&] { return !blank(*window); }, 5s));
    EXPECT_TRUE(wait_until([&] { return blank(*window); }, 10s));
}

// The calculator stands for both tool windows, which close the same way.
TEST_F(MainWindowTest, AToolWindowReopenedRightAfterClosingStaysOpen) {
    write_settings("\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n", " 0 \r\n 0 \r\n 0 \r\n 0 \r\n");
    start();
    const auto calculator = [this] { return window->calculator_window(); };
    window->open_calculator();
    ASSERT_TRUE(wait_until([&] { return calculator()->get_realized(); }, 5s));
    calculator()->close();  // as from the window's frame
    ASSERT_TRUE(wait_until([&] { return !calculator() || !calculator()->get_visible(); }, 5s));
    // Reopened from the keyboard before the closed window is freed.
    window->open_calculator();
    bool idle_ran = false;
    Glib::signal_idle().connect_once([&] { idle_ran = true; }, Glib::PRIORITY_LOW);
    ASSERT_TRUE(wait_until([&] { return idle_ran; }, 5s));
    EXPECT_TRUE(calculator() && calculator()->get_visible());
}

// A wheel turned over pane's page, delivered through GTK's own routing as the window system would.
void turn_wheel(BrowserPane& pane, GdkScrollDirection direction, double delta_y = 0) {
    GdkEvent* event = gdk_event_new(GDK_SCROLL);
    Gtk::Widget& view = page_view(pane);
    event->scroll.window = GDK_WINDOW(g_object_ref(view.get_window()->gobj()));
    event->scroll.direction = direction;
    event->scroll.delta_y = delta_y;
    event->scroll.state = GDK_CONTROL_MASK;
    event->scroll.x = event->scroll.y = 10;
    gdk_event_set_device(event, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
    gtk_main_do_event(event);
    gdk_event_free(event);
}

TEST_F(MainWindowTest, KeysAndWheelZoomOnePaneThatKeepsItsRegionAndItsZoomAcrossARestart) {
    // Pane 4 never loads (nothing listens there), and shows a page of our own instead.
    write_settings(" 100 \r\n 700 \r\n\r\n\r\n\r\n\r\n\r\n\r\n", " 0 \r\n 0 \r\n 0 \r\n 0 \r\n", "http://127.0.0.1:9/");
    start();
    // How many times wider the page lays itself out than the pane shows it.
    auto widths = [this](int n) {
        const double inner = std::stod(js(window->pane(n), "String(innerWidth)"));
        return inner / page_view(window->pane(n)).get_allocated_width();
    };
    auto zoomed = [&](int n, double factor) {
        return wait_until([&] { return std::abs(widths(n) - factor) < 0.02; }, 5s);
    };
    page_view(window->pane(1)).grab_focus();

    for (int i = 0; i < 3; ++i) press_key(*window, GDK_KEY_minus, GDK_CONTROL_MASK);
    EXPECT_EQ(window->pane(1).zoom(), 75);
    window->toggle_timer();
    EXPECT_TRUE(wait_until([&] { return scroll_of(1) == "100,700"; }, 5s)) << "held at 75 %: " << scroll_of(1);
    window->toggle_timer();

    turn_wheel(window->pane(1), GDK_SCROLL_DOWN);
    turn_wheel(window->pane(1), GDK_SCROLL_SMOOTH, 0.5);
    EXPECT_EQ(window->pane(1).zoom(), 67) << "half a click is no step";
    turn_wheel(window->pane(1), GDK_SCROLL_SMOOTH, 0.5);
    EXPECT_EQ(window->pane(1).zoom(), 50);
    EXPECT_TRUE(zoomed(1, 2.0)) << widths(1);
    for (int n = 2; n <= 4; ++n) EXPECT_TRUE(zoomed(n, 1.0)) << "pane " << n << " zoomed too: " << widths(n);

    press_key(*window, GDK_KEY_0, GDK_CONTROL_MASK);
    press_key(*window, GDK_KEY_plus, GdkModifierType(GDK_CONTROL_MASK | GDK_SHIFT_MASK));
    press_key(*window, GDK_KEY_KP_Add, GDK_CONTROL_MASK);
    EXPECT_EQ(window->pane(1).zoom(), 125);
    press_key(*window, GDK_KEY_minus);
    turn_wheel(window->pane(1), GDK_SCROLL_UP);
    EXPECT_EQ(window->pane(1).zoom(), 150) << "without Ctrl the keys are the page's";

    // Kept a second after the last change, and brought back by the next start.
    window->zoom().set(1, 0.52);
    window->zoom().set(4, 0.5);
    EXPECT_TRUE(zoomed(4, 1.0)) << "our own page stays at 100 %: " << widths(4);
    window.reset();
    loads = 0;
    start();
    EXPECT_EQ(window->pane(1).zoom(), 50);
    EXPECT_TRUE(zoomed(1, 2.0)) << widths(1);
    EXPECT_EQ(window->pane(4).zoom(), 50);

    // "Salva File" under a new name: the zoom goes with the settings into the new file's own.
    const auto buttons = widgets_of<Gtk::Button>(window->config_dialog());
    const auto save = std::find_if(buttons.begin(), buttons.end(), [](auto* b) { return b->get_label() == "Salva File"; });
    ASSERT_NE(save, buttons.end());
    std::vector<std::string> proposed;
    answer_next_file_chooser("sala.cfg", proposed);
    (*save)->clicked();
    EXPECT_THAT(file_text(dir / "sala.cfg.zoom"), AllOf(HasSubstr("Finestra1=50"), HasSubstr("Finestra4=50")));
    // Read again, the file in use is the one saved last, with its zoom, not the one read at start.
    write_settings("\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n", " 0 \r\n 0 \r\n 0 \r\n 0 \r\n", server.url("/p1"));
    window->reload_settings();
    EXPECT_EQ(window->config_dialog().text(4), "http://127.0.0.1:9/");
    EXPECT_EQ(window->pane(1).zoom(), 50);
}

// The night of a wall, darkened and lit through the `screen` action and by a touch: its
// pages hidden and still, the countdown held; on waking the flagged pages come back
// fresh and the countdown starts anew, and the touch that woke it reaches no page.
TEST_F(MainWindowTest, ADarkWallSleepsAndWakesWithFreshPagesAndItsFirstTouchGoesNoFurther) {
    // Numbered clicks: a page that never saw the waking touch reports its next click as the first.
    const std::string page = "<!DOCTYPE html><body style='margin:0;height:100vh' onclick=\"fetch('/click' + ++clicks)\">"
                             "<script>var clicks = 0; document.onvisibilitychange = () => "
                             "fetch('/' + document.visibilityState)</script>";
    for (const char* path : {"/p2", "/p4", "/click1", "/click2", "/hidden", "/visible"})
        server.serve(path, "text/html", page);
    write_settings("\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n", " 1 \r\n 0 \r\n 0 \r\n 1 \r\n");
    start(/*wall_screen=*/true);
    auto app = Gtk::Application::create("org.orvalis.ScreenTest", Gio::APPLICATION_NON_UNIQUE);
    MainWindow* const wall = window.get();
    add_wall_actions(app, wall);
    const auto screen = [&](bool lit) { app->lookup_action("screen")->activate(Glib::Variant<bool>::create(lit)); };
    const auto counter = [this] { return window->countdown_entry().get_label(); };
    const auto requests = [this] {
        std::string counts;
        for (int n = 1; n <= 4; ++n) counts += std::to_string(server.request_count("/p" + std::to_string(n)));
        return counts;
    };
    for (const bool by_touch : {false, true}) {
        const int hidden = server.request_count("/hidden"), visible = server.request_count("/visible");
        screen(false);
        EXPECT_FALSE(window->screen().lit());
        EXPECT_TRUE(wait_until([&] { return server.request_count("/hidden") >= hidden + 2; }, 10s))
            << "pages 2 and 4 see themselves hidden";
        const std::string held = counter(), before = requests();
        window->refresh_flagged_panes_by_person();
        EXPECT_FALSE(wait_until([&] { return requests() != before || counter() != held; }, 2500ms))
            << "while dark nothing loads and the countdown holds: " << requests() << " " << counter();
        if (by_touch) {
            int x = 0, y = 0;
            window->pane(2).widget().translate_coordinates(*window, 40, 40, x, y);
            click_at(*window, x, y);
        } else {
            screen(true);
        }
        EXPECT_TRUE(window->screen().lit());
        EXPECT_EQ(counter(), "120");
        EXPECT_TRUE(wait_until([&] { return server.request_count("/visible") > visible; }, 10s))
            << "page 2 sees itself again";
        if (by_touch) {
            click_at(page_view(window->pane(2)), 40, 40);
            EXPECT_TRUE(wait_until([&] { return server.request_count("/click1") + server.request_count("/click2"); }, 10s));
            EXPECT_EQ(server.request_count("/click2"), 0) << "the waking touch reached the page";
        }
        EXPECT_TRUE(wait_until([&] { return requests() == (by_touch ? "3113" : "2112"); }, 20s))
            << "flagged panes 1 and 4 reload at once: " << requests();
        EXPECT_TRUE(wait_until([&] { return counter() != "120"; }, 5s));
    }
}

}  // namespace
