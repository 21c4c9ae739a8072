// The search box on a virtual display: what reaches the browser, and what the box
// looks like afterwards.

#include "search/search_window.h"

#include <glibmm/main.h>
#include <gtest/gtest.h>

#include <memory>

#include "support/synthetic_click.h"
#include "support/wait_until.h"

namespace {

using namespace std::chrono_literals;

const std::string kPrefix = "http://cerca.example.org/cgi-bin/ricerca/meta.pl?query=";
const std::string kSuffix = "&modlist=web";

struct RecordingLauncher : platform::ProcessLauncher {
    std::vector<std::string> opened;
    bool start(const std::vector<std::string>&, const std::string&) override { return false; }
    bool open_uri(const std::string& uri) override {
        opened.push_back(uri);
        return false;  // no browser here: the box hides all the same
    }
};

template <typename T>
T* find(Gtk::Widget& root) {
    if (auto* hit = dynamic_cast<T*>(&root)) return hit;
    if (auto* container = dynamic_cast<Gtk::Container*>(&root))
        for (auto* child : container->get_children())
            if (auto* hit = find<T>(*child)) return hit;
    return nullptr;
}

class SearchWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<SearchWindow>(launcher);
        window->show();
        ASSERT_TRUE(wait_until([&] { return window->get_mapped() && entry().get_allocated_width() > 1; }, 5s));
    }

    Gtk::Entry& entry() { return *find<Gtk::Entry>(*window); }
    Gtk::Button& vai() { return *find<Gtk::Button>(*window); }

    void click_vai() {
        const auto area = vai().get_allocation();
        click_widget(vai(), area.get_x() + area.get_width() / 2.0, area.get_y() + area.get_height() / 2.0);
    }

    RecordingLauncher launcher;
    std::unique_ptr<SearchWindow> window;
};

TEST_F(SearchWindowTest, LooksAsDesigned) {
    EXPECT_EQ(window->get_title(), "Cerca sul WEB con Orvalis Cerca");
    EXPECT_FALSE(window->get_resizable());
    EXPECT_EQ(vai().get_label(), "Vai");
    EXPECT_TRUE(entry().is_focus());
    int width = 0, height = 0;
    window->get_size(width, height);
    EXPECT_EQ(width, 367);
    EXPECT_EQ(height, 26);
}

TEST_F(SearchWindowTest, VaiSearchesHidesAndKeepsTheQuery) {
    entry().set_text("vino & pane #1?");
    click_vai();
    ASSERT_TRUE(wait_until([&] { return !launcher.opened.empty(); }, 5s));
    EXPECT_EQ(launcher.opened, std::vector<std::string>{kPrefix + "vino%20%26%20pane%20%231%3F" + kSuffix});
    EXPECT_FALSE(window->get_visible());
    EXPECT_EQ(entry().get_text(), "vino & pane #1?");
}

TEST_F(SearchWindowTest, EnterLetsWaitingEventsRunThenSearchesAndClears) {
    entry().set_text("città");
    std::vector<std::string> order;
    Glib::signal_idle().connect_once([&] { order.push_back("waiting event"); }, Glib::PRIORITY_DEFAULT);
    entry().activate();  // what Enter does in a one-line field
    EXPECT_TRUE(launcher.opened.empty()) << "the search waits for the events already queued";
    ASSERT_TRUE(wait_until([&] { return !launcher.opened.empty(); }, 5s));
    order.push_back("search");
    EXPECT_EQ(order, (std::vector<std::string>{"waiting event", "search"}));
    EXPECT_EQ(launcher.opened, std::vector<std::string>{kPrefix + "citt%C3%A0" + kSuffix});
    EXPECT_FALSE(window->get_visible());
    EXPECT_EQ(entry().get_text(), "");
}

TEST_F(SearchWindowTest, BoxClosedBeforeTheDeferredSearchSearchesNothing) {
    entry().set_text("abc");
    entry().activate();  // what Enter does in a one-line field
    window.reset();
    bool idle_ran = false;
    Glib::signal_idle().connect_once([&] { idle_ran = true; }, Glib::PRIORITY_LOW);
    ASSERT_TRUE(wait_until([&] { return idle_ran; }, 5s));
    EXPECT_TRUE(launcher.opened.empty());
}

}  // namespace
