#include "config_dialog/config_dialog.h"

#include <gmock/gmock.h>

#include <atkmm/object.h>

#include "support/fakes.h"
#include "support/wait_until.h"

namespace {

using namespace testing;

struct FakeChooser : platform::FileChooser {
    std::optional<std::string> answer;
    std::optional<std::string> choose(const std::string&) override { return answer; }
};

struct FakeMessages : platform::MessageBox {
    std::vector<std::string> shown;  // "title (!) text" for an exclamation
    void show(const std::string& text, const std::string& title, platform::MessageIcon icon) override {
        shown.push_back(title + (icon == platform::MessageIcon::Exclamation ? " (!) " : " (?) ") + text);
    }
};

// A mouse button event as the arrow gets it, at x on its top row.
void send(ArrowButton& arrow, GdkEventType type, guint button, double x = ArrowButton::side / 2.0) {
    GdkEventButton event{};
    event.type = type;
    event.x = x;
    event.button = button;
    gboolean handled = FALSE;
    g_signal_emit_by_name(arrow.gobj(), type == GDK_BUTTON_RELEASE ? "button-release-event" : "button-press-event",
                          &event, &handled);
}

struct ConfigDialogTest : Test {
    SettingsStore store;
    FakePanes panes;
    FakeChooser chooser;
    FakeMessages messages;
    ConfigDialog dialog{store, panes.set(), chooser, messages};
};

TEST_F(ConfigDialogTest, TextsNeverHoldInvalidUtf8AndChecksTakeOnlyZeroOneGrey) {
    for (int n = 1; n <= 5; ++n) {
        dialog.set_text(n, "Città\xff" "\xC3");  // a stray byte, then a sequence cut short
        EXPECT_EQ(dialog.text(n), "Città\xEF\xBF\xBD\xEF\xBF\xBD") << "Text" << n;
    }
    for (int n = 1; n <= 4; ++n)
        for (int value : {2, 0, 2, 1, 3}) {
            EXPECT_EQ(dialog.set_check(n, value), value != 3);
            EXPECT_EQ(dialog.check(n), value == 3 ? 1 : value);
            EXPECT_EQ(dialog.check_box(n).get_inconsistent(), value == 2) << "grey only for 2";
        }
}

TEST_F(ConfigDialogTest, EveryControlCarriesItsAccessibleName) {
    const char* commands[] = {"Carica File", "Esci Configurazione", "Aggiorna Home", "Salva File"};
    const char* arrows[] = {"Sinistra", "Su", "Destra", "Giù"};
    auto name = [](Gtk::Widget& widget) { return widget.get_accessible()->get_name(); };
    EXPECT_EQ(name(dialog.text_box(5)), "Posizione Tavorinello");
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(name(dialog.text_box(n)), "Browser " + std::to_string(n));
        EXPECT_EQ(name(dialog.option(n)), "Finestra " + std::to_string(n));
        EXPECT_EQ(name(dialog.check_box(n)), "Refresh Br" + std::to_string(n));
        EXPECT_EQ(name(dialog.command(n)), commands[n - 1]);
        EXPECT_EQ(name(dialog.arrow(static_cast<Arrow>(n - 1))), arrows[n - 1]);
    }
}

TEST_F(ConfigDialogTest, ExitAndCloseBoxHideAndKeepEverything) {
    dialog.set_text(1, "campo");
    for (bool close_box : {false, true}) {
        dialog.show();
        dialog.option(3).clicked();
        close_box ? gtk_window_close(dialog.gobj()) : dialog.command(2).clicked();
        ASSERT_TRUE(wait_until([&] { return !dialog.get_visible(); }, std::chrono::seconds(5))) << close_box;
        EXPECT_EQ(dialog.text(1), "campo");
        EXPECT_TRUE(dialog.option(3).get_active());
    }
}

TEST_F(ConfigDialogTest, ArrowLooksPressedWhileHeldAndStepsOncePerClickInside) {
    dialog.show();  // lays the arrows out at once
    dialog.option(1).clicked();
    auto& left = dialog.arrow(Arrow::Left);
    send(left, GDK_BUTTON_PRESS, 1);
    EXPECT_TRUE(left.pressed());
    EXPECT_EQ(store.ScrollX[0], ::Value()) << "no step before the release";
    send(left, GDK_BUTTON_RELEASE, 1);
    EXPECT_EQ(store.ScrollX[0].to_number(), 10);
    // Let go outside, or another button: the pressed look goes and no step is made.
    for (auto [button, x] : {std::pair{1u, ArrowButton::side + 5.0}, {3u, ArrowButton::side / 2.0}}) {
        send(left, GDK_BUTTON_PRESS, button);
        send(left, GDK_BUTTON_RELEASE, button, x);
        EXPECT_FALSE(left.pressed());
    }
    EXPECT_EQ(store.ScrollX[0].to_number(), 10);
}

TEST_F(ConfigDialogTest, AggiornaHomeNavigatesPanesOneToThreeOnly) {
    for (int n = 1; n <= 4; ++n) dialog.set_text(n, "http://www.example.org/" + std::to_string(n));
    panes.pane[0].accepts = false;  // a failed navigation does not stop the others
    dialog.command(3).clicked();
    for (int n = 1; n <= 3; ++n) EXPECT_THAT(panes.pane[n - 1].navigations, ElementsAre(dialog.text(n)));
    EXPECT_THAT(panes.pane[3].navigations, IsEmpty());
}

// Carica (1) and Salva (4): a cancelled choice is silent, a failure says so once; neither changes anything.
TEST_F(ConfigDialogTest, CancelledOrFailedLoadAndSaveChangeNothing) {
    const std::string file = TempDir() + "orvalis-no-such-folder/dati.cfg";
    dialog.set_text(1, "campo");
    for (const auto& [command, answer] : {std::pair{1, std::optional<std::string>()}, {4, {}}, {1, file}, {4, file}}) {
        messages.shown.clear();
        chooser.answer = answer;
        dialog.command(command).clicked();
        EXPECT_EQ(messages.shown.size(), answer ? 1u : 0u) << command;
        EXPECT_THAT(messages.shown, Each(AllOf(StartsWith("Orvalis (!) "), HasSubstr("dati.cfg"))));
    }
    EXPECT_EQ(dialog.text(1), "campo");
    EXPECT_TRUE(store.ScrollX == SettingsStore{}.ScrollX && store.Dati == SettingsStore{}.Dati);
    for (const auto& pane : panes.pane) EXPECT_THAT(pane.navigations, IsEmpty());
}

}  // namespace
