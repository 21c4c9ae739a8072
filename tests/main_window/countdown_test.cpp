// The countdown against stand-in panes, flags and timer: no real second passes.

#include "main_window/countdown.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "support/fakes.h"

namespace {

using Write = std::pair<std::optional<double>, std::optional<double>>;

struct FakeTicker : Ticker {
    bool on = false;
    void start() override { on = true; }
    void stop() override { on = false; }
    bool running() const override { return on; }
};

std::string reloads(const FakePanes& panes) {  // "1010": panes 1 and 3 reloaded once
    std::string out;
    for (const auto& pane : panes.pane) out += std::to_string(pane.refreshes);
    return out;
}

struct WatchedFlags : FakeDialog {  // notes the reloads at each flag read
    const FakePanes* panes = nullptr;
    mutable std::string seen;
    int check(int n) const override {
        seen += reloads(*panes) + " ";
        return FakeDialog::check(n);
    }
};

struct CountdownTest : ::testing::Test {
    CountdownTest() {
        store.Dati[0] = Value(std::int16_t{120});
        flags.panes = &panes;
    }

    SettingsStore store;
    FakePanes panes;
    WatchedFlags flags;
    FakeTicker ticker;
    Countdown countdown{store, panes.set(), flags, ticker};
};

// By hand and at zero alike, each flag is read just before its pane, and only a 1 reloads.
TEST_F(CountdownTest, ReloadsThePanesFlaggedOneByHandLeavingTheCounterAndAtZeroStartingItAgain) {
    flags.checks = {1, 0, 1, 2};
    countdown.reload_flagged(ReloadCause::person);
    EXPECT_EQ(reloads(panes), "1010");
    for (int shown = 119; shown >= 1; --shown) ASSERT_EQ(countdown.tick(), std::to_string(shown));
    EXPECT_EQ(countdown.tick(), "120");
    EXPECT_EQ(reloads(panes), "2020");
    EXPECT_EQ(flags.seen, "0000 1000 1000 1010 1010 2010 2010 2020 ");
    for (const auto& pane : panes.pane) EXPECT_EQ(pane.scrolls.size(), 120u);  // the reload tick writes too
    EXPECT_EQ(countdown.tick(), "119");
}

TEST_F(CountdownTest, StoppedCountdownResumesWhereItWas) {
    for (int i = 0; i < 83; ++i) countdown.tick();
    for (const bool on : {true, false, true}) {
        EXPECT_EQ(countdown.toggle(), on ? "Timer off" : "Timer on");
        EXPECT_EQ(ticker.on, on);
    }
    EXPECT_EQ(countdown.tick(), "36");
}

TEST_F(CountdownTest, StoredValuesThatAreNoNumbersStartACycleOrWriteZeroOrSkipTheirAxis) {
    store.ScrollX = {Value(), Value(std::int16_t{30}), Value("45"), Value("left")};
    store.ScrollY = {Value(std::int32_t{1200}), Value(2.5), Value("top"), Value(std::int16_t{-8})};
    for (const Value& broken : {Value("abc"), Value(), Value(std::int16_t{0})}) {
        store.Dati[0] = broken;
        EXPECT_EQ(countdown.tick(), "120") << broken.to_text();
    }
    const Write expected[] = {{0, 1200}, {30, 2.5}, {45, std::nullopt}, {std::nullopt, -8}};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(panes.pane[i].scrolls, std::vector<Write>(3, expected[i])) << i;
}

TEST_F(CountdownTest, APaneThatRefusesOrIsMissingDoesNotDisturbTheOthers) {
    flags.checks = {1, 1, 1, 1};
    panes.pane[1].accepts = false;
    Countdown missing_pane3{store, {&panes.pane[0], &panes.pane[1], nullptr, &panes.pane[3]}, flags, ticker};
    store.Dati[0] = Value(std::int16_t{1});
    EXPECT_EQ(missing_pane3.tick(), "120");
    EXPECT_EQ(reloads(panes), "1101");
    for (std::size_t i : {0, 1, 3}) EXPECT_EQ(panes.pane[i].scrolls.size(), 1u) << i;
}

}  // namespace
