#include "search/search_window.h"

#include <glibmm/main.h>
#include <gtest/gtest.h>

#include "search/search_address.h"
#include "support/fakes.h"
#include "support/wait_until.h"

namespace {

using namespace std::chrono_literals;

// The query is one value: nothing in it may end it or start another, nor be decoded twice.
TEST(SearchAddress, QueryIsOnePercentEncodedValue) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""}, {"sale & pepe", "sale%20%26%20pepe"}, {"C# chi?", "C%23%20chi%3F"},
        {"perché città", "perch%C3%A9%20citt%C3%A0"}, {"100%+a=b/-._~", "100%25%2Ba%3Db%2F-._~"},
    };
    for (const auto& [query, encoded] : cases)
        EXPECT_EQ(search_address(query),
                  std::string("http://cerca.example.org/cgi-bin/ricerca/meta.pl?query=") + encoded + "&modlist=web");
}

TEST(SearchWindow, BothSearchAndHideVaiKeepsTheQueryEnterClearsItAndADestroyedBoxSearchesNothing) {
    FakeLauncher launcher;  // no browser here: the box hides all the same
    auto window = std::make_unique<SearchWindow>(launcher);
    const auto children = dynamic_cast<Gtk::Container&>(*window->get_child()).get_children();
    auto& entry = dynamic_cast<Gtk::Entry&>(*children.at(0));
    for (bool enter : {false, true}) {
        window->show();
        entry.set_text("città & co");
        enter ? void(entry.activate()) : dynamic_cast<Gtk::Button&>(*children.at(1)).clicked();
        EXPECT_EQ(launcher.opened.size(), 1u) << "Enter lets the events already waiting run first";
        ASSERT_TRUE(wait_until([&] { return launcher.opened.size() == 2u || !enter; }, 5s));
        EXPECT_EQ(std::tuple(launcher.opened.back(), window->get_visible(), entry.get_text()),
                  std::tuple(search_address("città & co"), false, Glib::ustring(enter ? "" : "città & co")));
    }
    entry.set_text("abc");
    entry.activate();
    window.reset();
    bool idle_ran = false;
    Glib::signal_idle().connect_once([&] { idle_ran = true; }, Glib::PRIORITY_LOW);
    ASSERT_TRUE(wait_until([&] { return idle_ran; }, 5s));
    EXPECT_EQ(launcher.opened.size(), 2u);
}

}  // namespace
