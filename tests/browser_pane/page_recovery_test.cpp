// A pane left alone against pages that fail: a server that goes away or answers
// 503, a first load that never succeeds, a page process that dies, hangs or keeps
// the scroll hold from seeing its scrolls. Recovery delays are shortened.

#include <gtest/gtest.h>
#include <glibmm/datetime.h>
#include <gtkmm/box.h>
#include <gtkmm/window.h>

#include <atkmm/object.h>

#include <atomic>
#include <memory>

#include "browser_pane/browser_pane.h"
#include "support/local_http_server.h"
#include "support/pane_probe.h"
#include "support/wait_until.h"

using namespace std::chrono_literals;

namespace {

RecoveryTimes quick_times() {
    RecoveryTimes times;
    times.retry_delays = {300ms, 600ms, 1200ms};
    times.restart_delays = {100ms, 300ms, 900ms};
    times.unresponsive_limit = 1500ms;
    times.stays_up = 3s;
    return times;
}

std::string page(const std::string& title, const std::string& body = "") {
    return "<!DOCTYPE html><title>" + title + "</title>" + body;
}

std::string clock_now() { return Glib::DateTime::create_now_local().format("%H:%M"); }

class PageRecoveryTest : public ::testing::Test {
protected:
    PageRecoveryTest() {
        window.set_default_size(800, 300);
        box.pack_start(pane.widget());
        box.pack_start(other.widget());
        window.add(box);
        window.show_all();
    }

    static std::string js(BrowserPane& on, const std::string& script) {
        return script_result(on, script).value_or("<no answer>");
    }
    std::string title(BrowserPane& on) { return js(on, "document.title"); }
    bool strip_shown() { return stale_strip(pane).get_mapped(); }

    LocalHttpServer server;
    Gtk::Window window;
    Gtk::Box box;
    BrowserPane pane{quick_times()};
    BrowserPane other{quick_times()};
};

}  // namespace

TEST_F(PageRecoveryTest, OutageKeepsThePageUnderAStripUntilTheServerIsBack) {
    server.serve("/news", "text/html", page("News"));
    const std::string before = clock_now();
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/news")));
    const std::string after = clock_now();
    EXPECT_FALSE(strip_shown());

    server.set_down(true);
    ASSERT_TRUE(pane.refresh());
    ASSERT_TRUE(wait_for_load(pane));
    EXPECT_EQ(title(pane), "News") << "an engine error page replaced the page";
    EXPECT_EQ(pane.uri(), server.url("/news"));
    const Gtk::Label& strip = stale_strip(pane);
    ASSERT_TRUE(wait_until([&] { return strip_shown() && strip.get_allocated_height() > 1; }, 5s));
    const std::string text = strip.get_text();
    EXPECT_TRUE(text == "Non aggiornata dalle " + before || text == "Non aggiornata dalle " + after) << text;
    EXPECT_EQ(const_cast<Gtk::Label&>(strip).get_accessible()->get_name(), text);
    EXPECT_FALSE(strip.get_can_focus());
    // One line along the bottom edge.
    EXPECT_LT(strip.get_allocated_height(), 40);
    int x = 0, bottom = 0;
    const_cast<Gtk::Label&>(strip).translate_coordinates(pane.widget(), 0, strip.get_allocated_height(), x, bottom);
    EXPECT_EQ(bottom, pane.widget().get_allocated_height());

    // Retries go on by themselves, failing, until the server answers again.
    server.set_down(false);
    EXPECT_TRUE(wait_until([&] { return !strip_shown(); }, 10s)) << "no retry brought the page back";
    EXPECT_EQ(server.request_count("/news"), 2);
    EXPECT_EQ(title(pane), "News");
}

TEST_F(PageRecoveryTest, ServerErrorOnAReloadKeepsThePageWhileOtherAnswersShow) {
    auto status = std::make_shared<std::atomic<int>>(200);
    server.serve("/board", [status](const std::string&) {
        return LocalHttpServer::Response{*status, "text/html", page(std::to_string(status->load()))};
    });
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/board")));
    ASSERT_EQ(title(pane), "200");

    *status = 503;
    ASSERT_TRUE(pane.refresh());
    ASSERT_TRUE(wait_for_load(pane));
    EXPECT_EQ(title(pane), "200");
    EXPECT_TRUE(strip_shown());

    *status = 404;  // a page that was removed says so
    ASSERT_TRUE(pane.refresh());
    ASSERT_TRUE(wait_for_load(pane));
    EXPECT_EQ(title(pane), "404");
    EXPECT_FALSE(strip_shown());

    *status = 503;  // a new address shows what its server says
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/board?elsewhere")));
    EXPECT_EQ(title(pane), "503");
    EXPECT_FALSE(strip_shown());
}

TEST_F(PageRecoveryTest, FirstLoadThatFailsShowsAPageOfOurOwnThenTheRealOne) {
    server.set_down(true);
    const std::string address = server.url("/first?from=wall");
    ASSERT_TRUE(navigate_and_wait(pane, address));
    const std::string text = js(pane, "document.body.innerText");
    EXPECT_NE(text.find("Pagina non raggiungibile"), std::string::npos) << text;
    EXPECT_NE(text.find(address), std::string::npos) << text;
    EXPECT_NE(text.find("Nuovo tentativo alle " + clock_now().substr(0, 2)), std::string::npos) << text;
    EXPECT_EQ(pane.uri(), address);
    EXPECT_FALSE(strip_shown());

    server.serve("/first", "text/html", page("First"));
    server.set_down(false);
    EXPECT_TRUE(wait_until([&] { return title(pane) == "First"; }, 10s));
    EXPECT_EQ(pane.uri(), address);
}

TEST_F(PageRecoveryTest, PageProcessKilledAgainAndAgainComesBackEachTimeLaterAndLater) {
    server.serve("/hello", "text/html", page("Hello"));
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/hello")));
    std::chrono::steady_clock::duration last_wait{};
    for (int kill = 1; kill <= 3; ++kill) {
        SCOPED_TRACE(kill);
        const auto start = std::chrono::steady_clock::now();
        end_page_process(pane);
        ASSERT_TRUE(wait_for_load(pane, 10s));
        last_wait = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(title(pane), "Hello");
    }
    EXPECT_EQ(server.request_count("/hello"), 4);
    EXPECT_GE(last_wait, 900ms) << "the third restart did not wait longer";
}

TEST_F(PageRecoveryTest, PageThatLoopsForeverIsEndedAndComesBackWhileTheOtherPaneRuns) {
    server.serve("/ticker", "text/html", page("Ticker", "<script>n = 0; setInterval(() => n++, 50)</script>"));
    auto first = std::make_shared<std::atomic<bool>>(true);
    server.serve("/loop", [first](const std::string&) {
        const bool loop = first->exchange(false);
        const std::string loops_forever = "<script>setTimeout(() => { for (;;) {} }, 300)</script>";
        return LocalHttpServer::Response{200, "text/html", loop ? page("Loop", loops_forever) : page("Calm")};
    });
    ASSERT_TRUE(navigate_and_wait(other, server.url("/ticker")));
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/loop")));
    // The real program writes scroll offsets every second; so does this wait.
    EXPECT_TRUE(wait_until([&] { return pane.set_body_scroll(0, 0) && title(pane) == "Calm"; }, 30s));
    const std::string counted = js(other, "n");
    EXPECT_TRUE(wait_until([&] { return std::stoi(js(other, "n + 0")) > std::stoi(counted); }, 5s));
    EXPECT_EQ(server.request_count("/ticker"), 1) << "the other pane was restarted too";
}

TEST_F(PageRecoveryTest, PageThatHidesItsScrollsIsPutBackWithinFiveTicks) {
    server.serve("/hides", "text/html",
                 page("Hides", "<body style='margin:0'><div style='height:5000px'></div><script>"
                               "addEventListener('scroll', e => e.stopImmediatePropagation(), true)</script>"));
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/hides")));
    const auto scroll_top = [&] { return js(pane, "document.scrollingElement.scrollTop"); };
    for (int tick = 0; tick < 3; ++tick)  // until the pane believes the page holds its offset
        ASSERT_TRUE(pane.set_body_scroll(0, 900));
    ASSERT_EQ(scroll_top(), "900");
    js(pane, "scrollTo(0, 0); 'moved'");
    int ticks = 0;
    while (scroll_top() != "900" && ticks < 10) {
        pane.set_body_scroll(0, 900);
        ++ticks;
    }
    EXPECT_LE(ticks, 5);
}
