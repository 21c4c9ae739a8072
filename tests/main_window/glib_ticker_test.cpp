// The ticker on a real GLib main loop, with short intervals; all waits are main
// loop iterations bounded by a deadline.

#include "main_window/glib_ticker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "support/wait_until.h"

using namespace std::chrono_literals;

namespace {

// Lets the main loop run for a while, to show that nothing more happens.
void run_for(std::chrono::milliseconds span) { wait_until([] { return false; }, span); }

TEST(GlibTicker, FirstTickComesOneIntervalAfterStartThenRepeats) {
    using Clock = std::chrono::steady_clock;
    std::vector<Clock::time_point> ticks;
    GlibTicker ticker([&] { ticks.push_back(Clock::now()); }, 40);
    EXPECT_FALSE(ticker.running());
    const auto started = Clock::now();
    ticker.start();
    EXPECT_TRUE(ticker.running());
    ASSERT_TRUE(wait_until([&] { return ticks.size() >= 3; }, 5s));
    EXPECT_GE(ticks.front() - started, 39ms);
}

TEST(GlibTicker, StopEndsTheTicks) {
    int count = 0;
    GlibTicker ticker([&] { ++count; }, 10);
    ticker.start();
    ticker.start();  // a second start must not add a second timeout
    ASSERT_TRUE(wait_until([&] { return count >= 2; }, 5s));
    ticker.stop();
    EXPECT_FALSE(ticker.running());
    const int at_stop = count;
    run_for(60ms);
    EXPECT_EQ(count, at_stop);
}

TEST(GlibTicker, SlotMayStopOrRestartItsOwnTicker) {
    int count = 0;
    GlibTicker* self = nullptr;
    GlibTicker ticker(
        [&] {
            ++count;
            if (count == 1) {  // restart: the old timeout must not survive beside the new one
                self->stop();
                self->start();
            }
            if (count == 4) self->stop();
        },
        10);
    self = &ticker;
    ticker.start();
    ASSERT_TRUE(wait_until([&] { return count >= 4; }, 5s));
    EXPECT_FALSE(ticker.running());
    run_for(60ms);
    EXPECT_EQ(count, 4);
}

TEST(GlibTicker, DestroyedTickerNeverFires) {
    int count = 0;
    {
        GlibTicker ticker([&] { ++count; }, 10);
        ticker.start();
    }
    run_for(60ms);
    EXPECT_EQ(count, 0);
}

}  // namespace
