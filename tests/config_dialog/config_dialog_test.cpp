#include "config_dialog/config_dialog.h"

#include <gmock/gmock.h>

#include <atkmm/object.h>

#include <map>
#include <set>

#include "settings/settings_operations.h"
#include "support/fakes.h"
#include "support/files.h"
#include "support/wait_until.h"
#include "support/widgets.h"

namespace {

using namespace testing;

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
    // One box of each kind stands for the others, which the same lines serve.
    dialog.set_text(5, "Città\xff" "\xC3");  // a stray byte, then a sequence cut short
    EXPECT_EQ(dialog.text(5), "Città\xEF\xBF\xBD\xEF\xBF\xBD");
    for (int value : {2, 0, 2, 1, 3}) {
        const bool taken = dialog.set_check(4, value);  // the box stays as it was on a 3; grey only for 2
        EXPECT_EQ(std::tuple(taken, dialog.check(4), dialog.check_box(4).get_inconsistent()),
                  std::tuple(value != 3, value == 3 ? 1 : value, value == 2));
    }
}

// A screen reader says what the eye reads: a text box's heading, a button's caption;
// the four arrows, which are pictures, have names of their own.
TEST_F(ConfigDialogTest, EveryControlIsNamedAsItsCaptionReads) {
    const auto name = [](Gtk::Widget& widget) { return std::string(widget.get_accessible()->get_name()); };
    std::map<Gtk::Widget*, std::string> headings;
    for (Gtk::Label* label : widgets_of<Gtk::Label>(dialog)) headings[label->get_mnemonic_widget()] = label->get_text();
    for (int n = 1; n <= 5; ++n)
        EXPECT_THAT(name(dialog.text_box(n)), AllOf(Ne(""), Eq(headings[&dialog.text_box(n)]))) << "Text" << n;
    for (Gtk::Button* button : widgets_of<Gtk::Button>(dialog)) EXPECT_EQ(name(*button), button->get_label());
    std::set<std::string> arrows;
    for (ArrowButton* arrow : widgets_of<ArrowButton>(dialog)) arrows.insert(name(*arrow));
    EXPECT_THAT(arrows, AllOf(SizeIs(4), Not(Contains(""))));
}

TEST_F(ConfigDialogTest, ExitAndCloseBoxHideAndKeepEverything) {
    dialog.set_text(1, "campo");
    for (bool close_box : {false, true}) {
        dialog.show();
        dialog.option(3).clicked();
        close_box ? gtk_window_close(dialog.gobj()) : dialog.command(2).clicked();
        ASSERT_TRUE(wait_until([&] { return !dialog.get_visible(); }, std::chrono::seconds(5))) << close_box;
        EXPECT_TRUE(dialog.text(1) == "campo" && dialog.option(3).get_active());
    }
}

TEST_F(ConfigDialogTest, ArrowLooksPressedWhileHeldAndStepsOncePerClickInside) {
    dialog.show();  // lays the arrows out at once
    dialog.option(1).clicked();
    auto& left = dialog.arrow(Arrow::Left);
    send(left, GDK_BUTTON_PRESS, 1);
    EXPECT_TRUE(left.pressed() && store.ScrollX[0] == ::Value()) << "pressed, and no step before the release";
    send(left, GDK_BUTTON_RELEASE, 1);
    EXPECT_EQ(store.ScrollX[0].to_number(), 10);
    // Let go outside, or another button: no step is made.
    for (auto [button, x] : {std::pair{1u, ArrowButton::side + 5.0}, {3u, ArrowButton::side / 2.0}}) {
        send(left, GDK_BUTTON_PRESS, button);
        send(left, GDK_BUTTON_RELEASE, button, x);
    }
    EXPECT_EQ(store.ScrollX[0].to_number(), 10);
}

// Carica File (1) shows the loaded addresses, Aggiorna Home (3) the texts: pane 4 keeps its page.
TEST_F(ConfigDialogTest, CaricaFileAndAggiornaHomeNavigatePanesOneToThreeOnly) {
    TempFolder folder;
    FakeDialog saved;
    saved.texts = {"http://a.example/1", "http://a.example/2", "http://a.example/3", "http://a.example/4", ""};
    ASSERT_TRUE(save_settings(folder / "dati.cfg", store, saved).ok);
    chooser.answer = (folder / "dati.cfg").string();
    panes.pane[0].accepts = false;  // a failed navigation does not stop the others
    dialog.command(1).clicked();
    EXPECT_EQ(dialog.text(4), saved.texts[3]);
    for (int n = 1; n <= 4; ++n) dialog.set_text(n, "http://www.example.org/" + std::to_string(n));
    dialog.command(3).clicked();
    for (int n = 1; n <= 3; ++n)
        EXPECT_THAT(panes.pane[n - 1].navigations, ElementsAre(saved.texts[n - 1], dialog.text(n)));
    EXPECT_TRUE(panes.pane[3].navigations.empty() && messages.shown.empty());
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
