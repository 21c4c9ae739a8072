#include "config_dialog/config_dialog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>

#include <atkmm/object.h>
#include <glib.h>

#include "config_dialog/dialog_layout.h"
#include "support/fakes.h"
#include "support/wait_until.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

struct FakeChooser : platform::FileChooser {
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> titles;
    std::optional<std::string> choose(const std::string& title) override {
        titles.push_back(title);
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

struct Shown {
    std::string text, title;
    platform::MessageIcon icon;
};

struct FakeMessages : platform::MessageBox {
    std::vector<Shown> shown;
    void show(const std::string& text, const std::string& title, platform::MessageIcon icon) override {
        shown.push_back({text, title, icon});
    }
};

void send_button(Gtk::Widget& widget, GdkEventType type, guint button, double x, double y) {
    GdkWindow* window = widget.get_window()->gobj();
    GdkEvent* event = gdk_event_new(type);
    gdk_event_set_device(event, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_window_get_display(window))));
    event->button.window = GDK_WINDOW(g_object_ref(window));
    event->button.time = GDK_CURRENT_TIME;
    event->button.x = x;
    event->button.y = y;
    event->button.button = button;
    gtk_widget_event(widget.gobj(), event);
    gdk_event_free(event);
}

class TempFolder {
public:
    TempFolder() {
        gchar* made = g_dir_make_tmp("orvalis-dialog-XXXXXX", nullptr);
        path_ = made;
        g_free(made);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

class ConfigDialogTest : public ::testing::Test {
protected:
    SettingsStore store;
    FakePanes panes;
    FakeChooser chooser;
    FakeMessages messages;
    std::unique_ptr<ConfigDialog> dialog = std::make_unique<ConfigDialog>(store, panes.set(), chooser, messages);

    void show_and_wait() {
        dialog->show();
        ASSERT_TRUE(wait_until([&] { return dialog->get_mapped() && dialog->arrow(Arrow::Left).get_mapped(); }, 5s));
    }
    std::size_t navigations() const {
        std::size_t total = 0;
        for (const auto& pane : panes.pane) total += pane.navigations.size();
        return total;
    }
    void fill_fields() {
        for (int n = 1; n <= 5; ++n) dialog->set_text(n, "campo " + std::to_string(n));
        for (int n = 1; n <= 4; ++n) dialog->set_check(n, n % 3);
    }
    void expect_filled_fields() {
        for (int n = 1; n <= 5; ++n) EXPECT_EQ(dialog->text(n), "campo " + std::to_string(n));
        for (int n = 1; n <= 4; ++n) EXPECT_EQ(dialog->check(n), n % 3);
    }
};

TEST_F(ConfigDialogTest, StartsHiddenWithItsInitialValues) {
    EXPECT_FALSE(dialog->get_visible());
    EXPECT_EQ(dialog->get_title(), "Configurazione");
    EXPECT_FALSE(dialog->get_resizable());
    for (int n = 1; n <= 3; ++n) EXPECT_EQ(dialog->text(n), "");
    EXPECT_EQ(dialog->text(4), "http://www.example.org/browser");
    EXPECT_EQ(dialog->text(5), "C:\\Programmi\\Tavorinellovoce\\tavorinello.exe");
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(dialog->check(n), 0);
        EXPECT_FALSE(dialog->option(n).get_active()) << "Finestra " << n;
    }
}

TEST_F(ConfigDialogTest, TextsRoundTripAndNeverHoldInvalidUtf8) {
    struct Case {
        std::string given, shown;
    } cases[] = {
        {"http://www.example.org/a,b", "http://www.example.org/a,b"},
        {"Città", "Città"},
        {"", ""},
        {"ab\xff" "cd", "ab\xEF\xBF\xBD" "cd"},
        {"\xC3", "\xEF\xBF\xBD"},  // a sequence cut short
    };
    for (const auto& c : cases)
        for (int n = 1; n <= 5; ++n) {
            dialog->set_text(n, c.given);
            EXPECT_EQ(dialog->text(n), c.shown) << "Text" << n;
            EXPECT_TRUE(g_utf8_validate(dialog->text(n).c_str(), -1, nullptr));
        }
    dialog->set_text(6, "x");
    EXPECT_EQ(dialog->text(6), "");
    EXPECT_EQ(dialog->text(0), "");
}

TEST_F(ConfigDialogTest, ChecksTakeZeroOneAndGreyAndRefuseTheRest) {
    for (int n = 1; n <= 4; ++n) {
        for (int value : {1, 2, 0, 2, 1}) {
            EXPECT_TRUE(dialog->set_check(n, value));
            EXPECT_EQ(dialog->check(n), value);
            EXPECT_EQ(dialog->check_box(n).get_inconsistent(), value == 2);
        }
        for (int refused : {3, -1, 255}) {
            EXPECT_FALSE(dialog->set_check(n, refused));
            EXPECT_EQ(dialog->check(n), 1);
        }
    }
    EXPECT_FALSE(dialog->set_check(5, 1));
}

TEST_F(ConfigDialogTest, EveryControlCarriesItsAccessibleName) {
    std::vector<std::pair<Gtk::Widget*, std::string>> expected{
        {&dialog->text_box(1), "Browser 1"},     {&dialog->text_box(2), "Browser 2"},
        {&dialog->text_box(3), "Browser 3"},     {&dialog->text_box(4), "Browser 4"},
        {&dialog->text_box(5), "Posizione Tavorinello"},
        {&dialog->command(1), "Carica File"},    {&dialog->command(2), "Esci Configurazione"},
        {&dialog->command(3), "Aggiorna Home"},  {&dialog->command(4), "Salva File"},
        {&dialog->arrow(Arrow::Left), "Sinistra"}, {&dialog->arrow(Arrow::Up), "Su"},
        {&dialog->arrow(Arrow::Right), "Destra"},  {&dialog->arrow(Arrow::Down), "Giù"},
    };
    for (int n = 1; n <= 4; ++n) {
        expected.emplace_back(&dialog->option(n), "Finestra " + std::to_string(n));
        expected.emplace_back(&dialog->check_box(n), "Refresh Br" + std::to_string(n));
    }
    for (const auto& [widget, name] : expected) EXPECT_EQ(widget->get_accessible()->get_name(), name);
    EXPECT_EQ(dialog->arrow(Arrow::Up).get_accessible()->get_role(), Atk::ROLE_PUSH_BUTTON);
}

TEST_F(ConfigDialogTest, ControlsSitAtTheirPlaces) {
    show_and_wait();
    auto expect_at = [](Gtk::Widget& widget, const TwipsRect& where, int inset = 0) {
        const auto a = widget.get_allocation();
        EXPECT_EQ(a.get_x() + inset, to_pixels(where.left)) << widget.get_name();
        EXPECT_EQ(a.get_y() + inset, to_pixels(where.top)) << widget.get_name();
    };
    for (int n = 1; n <= 5; ++n) expect_at(dialog->text_box(n), form2_layout::text[n - 1]);
    for (int n = 1; n <= 4; ++n) {
        expect_at(dialog->option(n), form2_layout::option[n - 1]);
        expect_at(dialog->check_box(n), form2_layout::check[n - 1]);
        expect_at(dialog->command(n), form2_layout::command[n - 1]);
    }
    for (Arrow arrow : {Arrow::Left, Arrow::Up, Arrow::Right, Arrow::Down})
        expect_at(dialog->arrow(arrow), form2_layout::image[static_cast<int>(arrow)], 1);
    const auto* area = dialog->get_child();
    EXPECT_EQ(area->get_allocated_width(), 355);
    EXPECT_EQ(area->get_allocated_height(), 395);
}

TEST_F(ConfigDialogTest, TabFollowsTheDesignedOrder) {
    show_and_wait();
    // Option buttons take the keyboard focus only in the active window.
    dialog->present();
    ASSERT_TRUE(wait_until([&] { return dialog->is_active(); }, 5s));
    dialog->text_box(1).grab_focus();
    std::vector<std::string> order{dialog->get_focus()->get_name()};
    for (int i = 0; i < 17; ++i) {
        dialog->child_focus(Gtk::DIR_TAB_FORWARD);
        order.push_back(dialog->get_focus() ? dialog->get_focus()->get_name() : "");
    }
    EXPECT_EQ(order, (std::vector<std::string>{"Text1", "Text2", "Text3", "Command1", "Option1", "Option2",
                                               "Option3", "Option4", "Text4", "Check1", "Check2", "Check3",
                                               "Check4", "Command2", "Text5", "Command3", "Command4", "Text1"}));
}

TEST_F(ConfigDialogTest, ExitAndCloseBoxHideAndKeepEverything) {
    for (int how = 0; how < 2; ++how) {
        show_and_wait();
        fill_fields();
        dialog->option(3).clicked();
        if (how == 0)
            dialog->command(2).clicked();
        else
            gtk_window_close(dialog->gobj());
        ASSERT_TRUE(wait_until([&] { return !dialog->get_visible(); }, 5s)) << (how ? "close box" : "Esci");
        expect_filled_fields();
        EXPECT_TRUE(dialog->option(3).get_active());
        EXPECT_EQ(store.Finestra, Value(std::int16_t{3}));
    }
    show_and_wait();
    expect_filled_fields();
}

TEST_F(ConfigDialogTest, ArrowShowsPressedLookAndStepsOnlyOnAClickInside) {
    show_and_wait();
    dialog->option(1).clicked();
    auto& left = dialog->arrow(Arrow::Left);
    const double mid = ArrowButton::side / 2.0;

    send_button(left, GDK_BUTTON_PRESS, 1, mid, mid);
    EXPECT_TRUE(left.pressed());
    EXPECT_TRUE(store.ScrollX[0].is_empty()) << "no step before the release";
    send_button(left, GDK_BUTTON_RELEASE, 1, mid, mid);
    EXPECT_FALSE(left.pressed());
    EXPECT_EQ(store.ScrollX[0].to_number(), 10);

    // Released outside: the pressed look goes, no step.
    send_button(left, GDK_BUTTON_PRESS, 1, mid, mid);
    send_button(left, GDK_BUTTON_RELEASE, 1, ArrowButton::side + 5.0, mid);
    EXPECT_FALSE(left.pressed());
    send_button(left, GDK_BUTTON_PRESS, 1, mid, mid);
    send_button(left, GDK_BUTTON_RELEASE, 1, mid, -1.0);
    EXPECT_EQ(store.ScrollX[0].to_number(), 10);

    // Another button shows the look but makes no step.
    send_button(left, GDK_BUTTON_PRESS, 3, mid, mid);
    EXPECT_TRUE(left.pressed());
    send_button(left, GDK_BUTTON_RELEASE, 3, mid, mid);
    EXPECT_FALSE(left.pressed());
    EXPECT_EQ(store.ScrollX[0].to_number(), 10);

    // A double click is two clicks, its extra event none.
    send_button(left, GDK_BUTTON_PRESS, 1, mid, mid);
    send_button(left, GDK_BUTTON_RELEASE, 1, mid, mid);
    send_button(left, GDK_BUTTON_PRESS, 1, mid, mid);
    send_button(left, GDK_2BUTTON_PRESS, 1, mid, mid);
    send_button(left, GDK_BUTTON_RELEASE, 1, mid, mid);
    EXPECT_EQ(store.ScrollX[0].to_number(), 30);
    EXPECT_EQ(panes.pane[0].scrolls.size(), 3u);
}

TEST_F(ConfigDialogTest, OptionAndArrowsMoveTheChosenPane) {
    show_and_wait();
    dialog->option(2).clicked();
    dialog->option(4).clicked();
    EXPECT_FALSE(dialog->option(2).get_active());
    EXPECT_EQ(store.Finestra, Value(std::int16_t{4}));
    const double mid = ArrowButton::side / 2.0;
    for (Arrow arrow : {Arrow::Up, Arrow::Up, Arrow::Down, Arrow::Right}) {
        send_button(dialog->arrow(arrow), GDK_BUTTON_PRESS, 1, mid, mid);
        send_button(dialog->arrow(arrow), GDK_BUTTON_RELEASE, 1, mid, mid);
    }
    EXPECT_EQ(store.ScrollY[3].to_number(), 10);
    EXPECT_EQ(store.ScrollX[3].to_number(), -10);
    EXPECT_TRUE(panes.pane[1].scrolls.empty());
}

TEST_F(ConfigDialogTest, AggiornaHomeNavigatesPanesOneToThreeOnly) {
    dialog->set_text(1, "http://www.example.org/uno");
    dialog->set_text(2, "");
    dialog->set_text(3, "http://www.example.org/tre");
    dialog->set_text(4, "http://www.example.org/quattro");
    panes.pane[0].accepts = false;  // a failed navigation does not stop the others
    dialog->command(3).clicked();
    EXPECT_EQ(panes.pane[0].navigations, std::vector<std::string>{"http://www.example.org/uno"});
    EXPECT_EQ(panes.pane[1].navigations, std::vector<std::string>{""});
    EXPECT_EQ(panes.pane[2].navigations, std::vector<std::string>{"http://www.example.org/tre"});
    EXPECT_TRUE(panes.pane[3].navigations.empty());
}

TEST_F(ConfigDialogTest, CancelledChoosersChangeNothing) {
    fill_fields();
    store.ScrollX[0] = std::int16_t{5};
    dialog->command(1).clicked();
    dialog->command(4).clicked();
    EXPECT_EQ(chooser.titles, (std::vector<std::string>{"Carica Configurazione", "Salva Configurazione"}));
    expect_filled_fields();
    EXPECT_EQ(store.ScrollX[0], Value(std::int16_t{5}));
    EXPECT_EQ(navigations(), 0u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ConfigDialogTest, FailedSaveSaysSoAndWritesNothing) {
    TempFolder folder;
    const auto missing_folder_file = folder.path() / "manca" / "dati.cfg";
    chooser.answers = {missing_folder_file.string()};
    dialog->command(4).clicked();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Orvalis");
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_NE(messages.shown[0].text.find("dati.cfg"), std::string::npos) << messages.shown[0].text;
    EXPECT_FALSE(fs::exists(missing_folder_file));
}

TEST_F(ConfigDialogTest, FailedLoadSaysSoAndChangesNothing) {
    TempFolder folder;
    const auto file = folder.path() / "rotto.cfg";
    {
        std::ofstream out(file, std::ios::binary);
        for (int line = 1; line <= 8; ++line) out << " 30 \r\n";
        out << "a\r\nb\r\nc\r\nd\r\n 1 \r\nnon un numero\r\n 0 \r\n 0 \r\nlanciatore\r\n";
    }
    fill_fields();
    dialog->option(2).clicked();
    chooser.answers = {file.string()};
    dialog->command(1).clicked();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Orvalis");
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_NE(messages.shown[0].text.find("rotto.cfg"), std::string::npos) << messages.shown[0].text;
    EXPECT_NE(messages.shown[0].text.find("14"), std::string::npos) << messages.shown[0].text;
    expect_filled_fields();
    for (std::size_t i = 0; i < 4; ++i) EXPECT_TRUE(store.ScrollX[i].is_empty());
    EXPECT_TRUE(store.Dati[1].is_empty());
    EXPECT_EQ(navigations(), 0u);
    EXPECT_EQ(store.Finestra, Value(std::int16_t{2}));
}

}  // namespace
