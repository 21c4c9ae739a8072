// A pane left alone against pages, servers and page processes that fail, and against
// this program's own thread stalling. Recovery delays are shortened.

#include <gtest/gtest.h>
#include <glibmm/datetime.h>
#include <glibmm/main.h>

#include <atkmm/object.h>

#include <atomic>
#include <list>
#include <thread>

#include "main_window/wall_status.h"
#include "support/local_http_server.h"
#include "support/pane_probe.h"
#include "support/wait_until.h"

using namespace std::chrono_literals;

namespace {

const RecoveryTimes kQuick{.retry_delays = {300ms, 600ms, 1200ms}, .restart_delays = {100ms, 300ms, 900ms},
                           .stays_up = 3s};

std::string page(const std::string& title, const std::string& body = "") {
    return "<!DOCTYPE html><title>" + title + "</title>" + body;
}

std::string clock_now() { return Glib::DateTime::create_now_local().format("%H:%M"); }
std::string title(BrowserPane& on) { return js(on, "document.title"); }
bool strip_shown(BrowserPane& on) { return stale_strip(on).get_mapped(); }

class PageRecoveryTest : public ::testing::Test {
protected:
    BrowserPane& add_pane(const RecoveryTimes& times = kQuick) { return windows.emplace_back(times).pane; }

    LocalHttpServer server;
    std::list<PaneInWindow> windows;
    BrowserPane& pane = add_pane();
};

}  // namespace

TEST_F(PageRecoveryTest, FailedFirstLoadShowsOurOwnPageAndAnOutageKeepsTheRealOneUnderAStrip) {
    server.set_down(true);
    const std::string address = server.url("/news?from=wall");
    const auto before = Glib::DateTime::create_now_local();
    ASSERT_TRUE(navigate_and_wait(pane, address));
    const auto after = Glib::DateTime::create_now_local().add_seconds(1);
    // Our own page announces the next attempt, at a time between the load and a moment after it.
    bool announced = false;
    for (auto second = before; second.compare(after) <= 0; second = second.add_seconds(1))
        announced = announced || page_shows(pane, "Nuovo tentativo alle " + second.format("%H:%M:%S"));
    EXPECT_TRUE(announced);

    server.serve("/news", "text/html", page("News"));
    const std::string back = clock_now();
    server.set_down(false);
    ASSERT_TRUE(wait_until([&] { return title(pane) == "News"; }, 10s));
    const std::string loaded = clock_now();
    EXPECT_EQ(pane.uri(), address);

    server.set_down(true);
    ASSERT_TRUE(pane.refresh(ReloadCause::schedule));
    ASSERT_TRUE(wait_for_load(pane));
    EXPECT_EQ(title(pane), "News") << "an engine error page replaced the page";
    Gtk::Label& strip = stale_strip(pane);
    ASSERT_TRUE(wait_until([&] { return strip_shown(pane) && strip.get_allocated_height() > 1; }, 5s));
    const std::string text = strip.get_text();
    EXPECT_TRUE(text == "Non aggiornata dalle " + back || text == "Non aggiornata dalle " + loaded) << text;
    EXPECT_EQ(strip.get_accessible()->get_name(), text);
    const std::string status = pane_status_lines({pane.health()})[0];
    EXPECT_EQ(status.rfind("1 " + address + " non aggiornata dalle ", 0), 0u) << status;

    // Retries go on by themselves, failing, until the server answers again.
    server.set_down(false);
    EXPECT_TRUE(wait_until([&] { return !strip_shown(pane); }, 10s)) << "no retry brought the page back";
    EXPECT_EQ(title(pane), "News");

    // Asleep (the wall is dark) a pane under the strip tries nothing, however long; woken, it tries again.
    server.set_down(true);
    ASSERT_TRUE(pane.refresh(ReloadCause::schedule));
    ASSERT_TRUE(wait_until([&] { return strip_shown(pane); }, 10s));
    pane.set_asleep(true);
    server.set_down(false);
    EXPECT_EQ(loads_within(pane, 2s), 0) << "a sleeping pane retried";
    pane.set_asleep(false);
    EXPECT_TRUE(wait_until([&] { return !strip_shown(pane); }, 10s)) << "the waking did not try the page again";
}

TEST_F(PageRecoveryTest, ServerErrorFromWhateverAddressAnsweredIsNeverShown) {
    // A dashboard redirects to its real page, which then rewrites its own address.
    server.serve("/", [] { return LocalHttpServer::Response{.status = 302, .headers = {{"Location", "/d/overview"}}}; });
    auto status = std::make_shared<std::atomic<int>>(200);
    server.serve("/d/overview", [status] {
        const std::string rewrite = "<script>history.replaceState(null, '', '?tab=2')</script>";
        return LocalHttpServer::Response{*status, "text/html", page(std::to_string(status->load()), rewrite)};
    });
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/")));
    ASSERT_EQ(title(pane) + " " + pane.uri(), "200 " + server.url("/d/overview?tab=2"));

    *status = 503;
    ASSERT_TRUE(pane.refresh(ReloadCause::schedule));
    ASSERT_TRUE(wait_until([&] { return strip_shown(pane); }, 10s));
    EXPECT_EQ(title(pane), "200");
    EXPECT_EQ(stale_strip(pane).get_text().size(), 26u) << "a time and no note";

    // A restart after a crash has no good page to keep: our own, with the reason.
    end_page_process(pane);
    EXPECT_TRUE(wait_until([&] { return page_shows(pane, "Pagina non raggiungibile") && page_shows(pane, "503"); }, 10s));
    EXPECT_EQ(pane.uri(), server.url("/"));

    *status = 404;  // a page that was removed says so, on the next retry
    EXPECT_TRUE(wait_until([&] { return title(pane) == "404"; }, 10s));
    EXPECT_FALSE(strip_shown(pane));
}

TEST_F(PageRecoveryTest, NewAddressThatFailsShowsOurOwnPageForItNeverThePreviousOne) {
    // A first load answered in a type no pane shows is a failed load, naming the type.
    server.serve("/export", "application/zip", "PK");
    BrowserPane& fresh = add_pane();
    ASSERT_TRUE(navigate_and_wait(fresh, server.url("/export")));
    EXPECT_TRUE(wait_until([&] { return page_shows(fresh, "application/zip"); }, 10s));
    const std::string status = pane_status_lines({fresh.health()})[0];
    EXPECT_EQ(status.rfind("1 " + server.url("/export") + " mai caricata: ", 0), 0u) << status;
    server.serve("/news", "text/html", page("News"));
    server.serve("/broken", [] { return LocalHttpServer::Response{500, "text/html", page("Boom")}; });
    LocalHttpServer gone;
    gone.set_down(true);
    const std::pair<std::string, std::string> failing[] = {
        {server.url("/broken"), "500"},
        {gone.url("/board"), "refused"},
        {"http://127.0.0.1:1/blocked-port", "non può caricare"},
        {"ftp://127.0.0.1/file", "non può caricare"},
        {"javascript:document.title='News'", "non può caricare"},
    };
    for (const auto& [address, reason] : failing) {
        SCOPED_TRACE(address);
        ASSERT_TRUE(navigate_and_wait(pane, server.url("/news")));
        ASSERT_TRUE(navigate_and_wait(pane, address));
        EXPECT_TRUE(wait_until([&] {
            return page_shows(pane, "Pagina non raggiungibile") && page_shows(pane, reason) && page_shows(pane, address);
        }, 10s));
        EXPECT_EQ(pane.uri(), address);
        EXPECT_FALSE(strip_shown(pane));
    }
    // Waiting does not make the engine take an address it refuses: no retries.
    EXPECT_EQ(loads_within(pane, 1s), 0);
}

TEST_F(PageRecoveryTest, LoadThatNeverGetsAnAnswerIsStoppedAndCountsAsFailed) {
    BrowserPane& slow = add_pane({.retry_delays = {3s}, .load_limit = 1s});
    auto hang = std::make_shared<std::atomic<bool>>(true);
    server.serve("/slow", [hang] { return LocalHttpServer::Response{.body = page("Slow"), .hang = *hang}; });
    ASSERT_TRUE(navigate_and_wait(slow, server.url("/slow")));
    EXPECT_TRUE(page_shows(slow, "Nessuna risposta in 1 s"));

    *hang = false;
    ASSERT_TRUE(wait_until([&] { return title(slow) == "Slow"; }, 10s));
    *hang = true;
    ASSERT_TRUE(slow.refresh(ReloadCause::schedule));
    ASSERT_TRUE(wait_until([&] { return strip_shown(slow) && !slow.is_loading(); }, 10s));
    EXPECT_EQ(title(slow), "Slow");
    EXPECT_TRUE(slow.set_body_scroll(0, 0)) << "the scroll hold waits for a load that was given up";
}

TEST_F(PageRecoveryTest, PageProcessKilledComesBackLaterEachTimeInARowAndSoonAgainOnceItStayedUp) {
    BrowserPane& restarted = add_pane({.restart_delays = {100ms, 900ms, 20s}, .stays_up = 3s});
    server.serve("/hello", "text/html", page("Hello"));
    ASSERT_TRUE(navigate_and_wait(restarted, server.url("/hello")));
    std::chrono::steady_clock::duration last_wait{};
    for (int kill = 1; kill <= 2; ++kill) {
        SCOPED_TRACE(kill);
        const auto start = std::chrono::steady_clock::now();
        end_page_process(restarted);
        EXPECT_FALSE(restarted.set_body_scroll(0, 10));
        ASSERT_TRUE(wait_for_load(restarted, 10s));
        last_wait = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(title(restarted), "Hello");
    }
    EXPECT_GE(last_wait, 900ms) << "the second restart in a row did not wait longer";
    wait_until([] { return false; }, 3500ms);  // up for longer than stays_up
    end_page_process(restarted);
    EXPECT_TRUE(wait_for_load(restarted, 10s)) << "the restart waited as after three crashes in a row";
}

TEST_F(PageRecoveryTest, PageThatLoopsForeverIsEndedAndComesBackWhileTheOtherPaneRuns) {
    BrowserPane& looping = add_pane({.restart_delays = {100ms}, .unresponsive_limit = 1500ms});
    BrowserPane& other = add_pane({.unresponsive_limit = 1500ms});
    server.serve("/ticker", "text/html", page("Ticker", "<script>n = 0; setInterval(() => n++, 50)</script>"));
    auto first = std::make_shared<std::atomic<bool>>(true);
    server.serve("/loop", [first] {
        const bool loop = first->exchange(false);
        const std::string loops_forever = "<script>setTimeout(() => { for (;;) {} }, 300)</script>";
        return LocalHttpServer::Response{200, "text/html", loop ? page("Loop", loops_forever) : page("Calm")};
    });
    ASSERT_TRUE(navigate_and_wait(other, server.url("/ticker")));
    ASSERT_TRUE(navigate_and_wait(looping, server.url("/loop")));
    // The real program writes scroll offsets every second; so does this wait.
    EXPECT_TRUE(wait_until([&] { return looping.set_body_scroll(0, 0) && title(looping) == "Calm"; }, 30s));
    const std::string counted = js(other, "n");
    EXPECT_TRUE(wait_until([&] { return std::stoi(js(other, "n + 0")) > std::stoi(counted); }, 5s));
    EXPECT_EQ(server.request_count("/ticker"), 1) << "the other pane was restarted too";
}

TEST_F(PageRecoveryTest, HealthyPageOutlivesAStallOfThisProgramsOwnThread) {
    BrowserPane& healthy = add_pane({.unresponsive_limit = 1500ms});
    // Due with the pane's heartbeat, just after it: the beat has sent its ping, and the
    // thread stalls past the hang limit before the answer can be read; twice, in case
    // a turn of the main loop came between them.
    auto stalls = std::make_shared<int>(-1);
    Glib::signal_timeout().connect([stalls] {
        if (*stalls < 0)
            return true;
        std::this_thread::sleep_for(2s);
        return ++*stalls < 2;
    }, 500);
    server.serve("/calm", "text/html", page("Calm"));
    ASSERT_TRUE(navigate_and_wait(healthy, server.url("/calm")));
    *stalls = 0;
    ASSERT_TRUE(wait_until([&] { return *stalls == 2; }, 10s));
    wait_until([] { return false; }, 2s);  // a hang limit and more of running time
    EXPECT_EQ(title(healthy), "Calm");
    EXPECT_EQ(server.request_count("/calm"), 1) << "the page was ended";
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
    for (; scroll_top() != "900" && ticks < 10; ++ticks)
        pane.set_body_scroll(0, 900);
    EXPECT_LE(ticks, 5);
}
