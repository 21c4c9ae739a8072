#include "main_window/countdown.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

std::string offset_text(std::optional<double> v) { return v ? Value(*v).to_text() : "-"; }

class FakePane : public Pane {
public:
    FakePane(int number, Log& log) : number_(number), log_(log) {}
    bool accepts = true;

    bool navigate(const std::string&) override { return accepts; }
    bool set_silent(bool) override { return accepts; }
    bool refresh() override {
        log_.push_back("refresh " + std::to_string(number_));
        return accepts;
    }
    bool set_body_scroll(std::optional<double> left, std::optional<double> top) override {
        log_.push_back("scroll " + std::to_string(number_) + " " + offset_text(left) + " " + offset_text(top));
        return accepts;
    }

private:
    int number_;
    Log& log_;
};

class FakeFlags : public DialogFields {
public:
    explicit FakeFlags(Log& log) : log_(log) {}
    std::array<int, 4> checks{};

    std::string text(int) const override { return {}; }
    void set_text(int, const std::string&) override {}
    int check(int n) const override {
        log_.push_back("check " + std::to_string(n));
        return checks.at(static_cast<std::size_t>(n - 1));
    }
    bool set_check(int, int) override { return false; }

private:
    Log& log_;
};

class FakeTicker : public Ticker {
public:
    bool on = false;
    void start() override { on = true; }
    void stop() override { on = false; }
    bool running() const override { return on; }
};

class CountdownTest : public ::testing::Test {
protected:
    CountdownTest() { store.Dati[0] = Value(std::int16_t{120}); }

    // Only the panes' own actions, without the flag reads.
    Log pane_actions() const {
        Log out;
        for (const auto& entry : log)
            if (entry.rfind("check", 0) != 0) out.push_back(entry);
        return out;
    }

    static Log scroll_writes(const std::string& offsets = "0 0") {
        Log out;
        for (int n = 1; n <= 4; ++n) out.push_back("scroll " + std::to_string(n) + " " + offsets);
        return out;
    }

    Log log;
    SettingsStore store;
    FakePane p1{1, log}, p2{2, log}, p3{3, log}, p4{4, log};
    FakeFlags flags{log};
    FakeTicker ticker;
    Countdown countdown{store, PaneSet{&p1, &p2, &p3, &p4}, flags, ticker};
};

TEST_F(CountdownTest, CountsDownThenReloadsExactlyThePanesFlaggedOne) {
    flags.checks = {1, 0, 1, 2};
    for (int expected = 119; expected >= 1; --expected) {
        log.clear();
        ASSERT_EQ(countdown.tick(), std::to_string(expected));
        ASSERT_EQ(pane_actions(), scroll_writes()) << "tick showing " << expected;
    }

    log.clear();
    EXPECT_EQ(countdown.tick(), "120");
    Log expected{"refresh 1", "refresh 3"};
    for (const auto& write : scroll_writes()) expected.push_back(write);
    EXPECT_EQ(pane_actions(), expected);
    EXPECT_EQ(store.Dati[0], Value(std::int16_t{120}));

    EXPECT_EQ(countdown.tick(), "119");
}

TEST_F(CountdownTest, NoFlagSetStillResetsTheCounter) {
    store.Dati[0] = Value(std::int16_t{1});
    EXPECT_EQ(countdown.tick(), "120");
    EXPECT_EQ(pane_actions(), scroll_writes());
}

TEST_F(CountdownTest, FlagsAreReadOneByOneJustBeforeTheirPane) {
    flags.checks = {1, 1, 0, 1};
    countdown.reload_flagged();
    EXPECT_EQ(log, (Log{"check 1", "refresh 1", "check 2", "refresh 2", "check 3", "check 4", "refresh 4"}));
}

TEST_F(CountdownTest, ManualReloadLeavesCounterAndOffsetsAlone) {
    flags.checks = {0, 1, 0, 0};
    store.Dati[0] = Value(std::int16_t{50});
    countdown.reload_flagged();
    EXPECT_EQ(pane_actions(), (Log{"refresh 2"}));
    EXPECT_EQ(store.Dati[0], Value(std::int16_t{50}));
    EXPECT_EQ(countdown.tick(), "49");
}

TEST_F(CountdownTest, ToggleStartsAndStopsWithoutTouchingTheCount) {
    for (int i = 0; i < 83; ++i) countdown.tick();
    EXPECT_EQ(countdown.toggle(), "Timer off");
    EXPECT_TRUE(ticker.on);
    EXPECT_EQ(countdown.toggle(), "Timer on");
    EXPECT_FALSE(ticker.on);
    EXPECT_EQ(store.Dati[0], Value(std::int16_t{37}));
    EXPECT_EQ(countdown.toggle(), "Timer off");
    EXPECT_EQ(countdown.tick(), "36");
}

TEST_F(CountdownTest, CounterWithoutAUsableNumberStartsANewCycle) {
    flags.checks = {0, 0, 0, 1};
    for (const Value& broken : {Value("abc"), Value(), Value(std::int16_t{0})}) {
        store.Dati[0] = broken;
        log.clear();
        EXPECT_EQ(countdown.tick(), "120") << broken.to_text();
        EXPECT_EQ(pane_actions().front(), "refresh 4");
    }
}

TEST_F(CountdownTest, EachStoredOffsetReachesItsPaneAsANumberOrNotAtAll) {
    store.ScrollX = {Value(), Value(std::int16_t{30}), Value("45"), Value("left")};
    store.ScrollY = {Value(std::int32_t{1200}), Value(2.5), Value("top"), Value(std::int16_t{-8})};
    countdown.tick();
    EXPECT_EQ(pane_actions(), (Log{"scroll 1 0 1200", "scroll 2 30 2.5", "scroll 3 45 -", "scroll 4 - -8"}));
}

TEST_F(CountdownTest, APaneThatRefusesOrIsMissingDoesNotDisturbTheOthers) {
    flags.checks = {1, 1, 1, 1};
    p2.accepts = false;
    Countdown gappy{store, PaneSet{&p1, &p2, nullptr, &p4}, flags, ticker};
    store.Dati[0] = Value(std::int16_t{1});
    EXPECT_EQ(gappy.tick(), "120");
    EXPECT_EQ(pane_actions(), (Log{"refresh 1", "refresh 2", "refresh 4", "scroll 1 0 0", "scroll 2 0 0",
                                   "scroll 4 0 0"}));
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
