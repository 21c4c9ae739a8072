// A page that grows past the page-process memory limit, set through the environment
// as a user would, is ended by the engine and comes back. A program of its own: the
// limit is read once, when the first pane is made.

#include <gtest/gtest.h>
#include <webkit2/webkit2.h>

#include <atomic>

#include "support/local_http_server.h"
#include "support/pane_probe.h"
#include "support/wait_until.h"

using namespace std::chrono_literals;

TEST(PageMemoryLimit, PageThatGrowsPastItIsEndedAndComesBack) {
    g_setenv("ORVALIS_PAGE_MEMORY_MIB", "300", TRUE);
    LocalHttpServer server;
    auto first = std::make_shared<std::atomic<bool>>(true);
    server.serve("/grows", [first] {
        const bool grow = first->exchange(false);
        return LocalHttpServer::Response{
            200, "text/html",
            grow ? "<title>Grows</title><script>keep = []; setInterval(() => { for (let i = 0; i < 8; i++) "
                   "keep.push(new Float64Array(1 << 17).fill(Math.random())) }, 50)</script>"
                 : "<title>Calm</title>"};
    });
    PaneInWindow shown{RecoveryTimes{.restart_delays = {100ms}}};
    BrowserPane& pane = shown.pane;

    int reason = -1;
    g_signal_connect(page_view(pane).gobj(), "web-process-terminated",
                     G_CALLBACK(+[](GObject*, int why, gpointer to) { *static_cast<int*>(to) = why; }), &reason);
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/grows")));
    EXPECT_TRUE(wait_until([&] { return reason == WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT; }, 40s));
    EXPECT_TRUE(wait_until([&] { return script_result(pane, "document.title") == "Calm"; }, 20s));
}
