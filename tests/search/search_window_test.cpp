#include "search/search_window.h"

#include <glibmm/main.h>
#include <gtest/gtest.h>

#include "search/search_address.h"
#include "support/fakes.h"
#include "support/wait_until.h"

namespace {

using namespace std::chrono_literals;

struct SearchWindowTest : ::testing::Test {
    FakeLauncher launcher;  // no browser here: the box hides all the same
    std::unique_ptr<SearchWindow> window = std::make_unique<SearchWindow>(launcher);
    std::vector<Gtk::Widget*> children = dynamic_cast<Gtk::Container&>(*window->get_child()).get_children();
    Gtk::Entry& entry = dynamic_cast<Gtk::Entry&>(*children.at(0));
};

TEST_F(SearchWindowTest, BothSearchAndHideVaiKeepsTheQueryEnterClearsIt) {
    for (bool enter : {false, true}) {
        window->show();
        entry.set_text("città & co");
        enter ? void(entry.activate()) : dynamic_cast<Gtk::Button&>(*children.at(1)).clicked();
        EXPECT_EQ(launcher.opened.size(), 1u) << "Enter lets the events already waiting run first";
        ASSERT_TRUE(wait_until([&] { return launcher.opened.size() == 2u || !enter; }, 5s));
        EXPECT_EQ(launcher.opened.back(), search_address("città & co"));
        EXPECT_FALSE(window->get_visible());
        EXPECT_EQ(entry.get_text(), enter ? "" : "città & co");
    }
}

TEST_F(SearchWindowTest, BoxDestroyedBeforeTheDeferredSearchSearchesNothing) {
    entry.set_text("abc");
    entry.activate();
    window.reset();
    bool idle_ran = false;
    Glib::signal_idle().connect_once([&] { idle_ran = true; }, Glib::PRIORITY_LOW);
    ASSERT_TRUE(wait_until([&] { return idle_ran; }, 5s));
    EXPECT_TRUE(launcher.opened.empty());
}

}  // namespace
