// The ticker on a real GLib main loop with short intervals, waiting on the loop.

#include "main_window/glib_ticker.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/wait_until.h"

using namespace std::chrono_literals;

TEST(GlibTicker, FirstTickComesOneIntervalAfterStartAndNoneAfterStop) {
    using Clock = std::chrono::steady_clock;
    std::vector<Clock::time_point> ticks;
    GlibTicker ticker([&] { ticks.push_back(Clock::now()); }, 40);
    const auto started = Clock::now();
    ticker.start();
    ticker.start();  // must not add a second timeout
    EXPECT_TRUE(ticker.running());
    ASSERT_TRUE(wait_until([&] { return ticks.size() >= 2; }, 5s));
    EXPECT_GE(ticks[0] - started, 39ms);
    EXPECT_GE(ticks[1] - ticks[0], 30ms);
    ticker.stop();
    EXPECT_FALSE(ticker.running());
    const auto ticked = ticks.size();
    wait_until([] { return false; }, 100ms);
    EXPECT_EQ(ticks.size(), ticked);
}
