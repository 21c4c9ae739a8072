#include "config_dialog/scroll_positioning.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "support/fakes.h"

namespace {

using Scroll = std::pair<std::optional<double>, std::optional<double>>;

struct ScrollPositioning : ::testing::Test {
    SettingsStore store;
    FakePanes panes;

    void click(Arrow arrow, int times = 1) {
        for (int i = 0; i < times; ++i) arrow_click(store, panes.set(), arrow);
    }
    bool offsets_empty() const {
        for (std::size_t i = 0; i < 4; ++i)
            if (!store.ScrollX[i].is_empty() || !store.ScrollY[i].is_empty()) return false;
        return true;
    }
    std::size_t writes() const {
        std::size_t total = 0;
        for (const auto& pane : panes.pane) total += pane.scrolls.size();
        return total;
    }
};

TEST_F(ScrollPositioning, NothingMovesBeforeAPaneIsChosen) {
    for (Arrow arrow : {Arrow::Left, Arrow::Up, Arrow::Right, Arrow::Down}) click(arrow);
    EXPECT_TRUE(offsets_empty());
    EXPECT_TRUE(store.Finestra.is_empty());
    EXPECT_EQ(writes(), 0u);
}

// Each arrow moves the page the way it points: left and up raise the offset.
struct ArrowCase {
    Arrow arrow;
    double x, y;
    Scroll written;
};

class EachArrow : public ScrollPositioning, public ::testing::WithParamInterface<ArrowCase> {};

TEST_P(EachArrow, StepsOnlyTheChosenPaneAndAxis) {
    const auto& c = GetParam();
    select_pane(store, 2);
    click(c.arrow);

    EXPECT_EQ(store.ScrollX[1].to_number(), c.x);
    EXPECT_EQ(store.ScrollY[1].to_number(), c.y);
    for (std::size_t other : {0u, 2u, 3u}) {
        EXPECT_TRUE(store.ScrollX[other].is_empty());
        EXPECT_TRUE(store.ScrollY[other].is_empty());
        EXPECT_TRUE(panes.pane[other].scrolls.empty());
    }
    // The axis the arrow does not move is left untouched, Empty and unwritten.
    EXPECT_TRUE((c.x == 0 ? store.ScrollX[1] : store.ScrollY[1]).is_empty());
    EXPECT_EQ(panes.pane[1].scrolls, std::vector<Scroll>{c.written});
}

INSTANTIATE_TEST_SUITE_P(ScrollPositioning, EachArrow,
                         ::testing::Values(ArrowCase{Arrow::Left, 10, 0, {10.0, std::nullopt}},
                                           ArrowCase{Arrow::Up, 0, 10, {std::nullopt, 10.0}},
                                           ArrowCase{Arrow::Right, -10, 0, {-10.0, std::nullopt}},
                                           ArrowCase{Arrow::Down, 0, -10, {std::nullopt, -10.0}}));

TEST_F(ScrollPositioning, EmptyOffsetGoesNegativeAndBack) {
    select_pane(store, 3);
    click(Arrow::Down);
    EXPECT_EQ(store.ScrollY[2].to_number(), -10);
    click(Arrow::Up);
    EXPECT_EQ(store.ScrollY[2].to_number(), 0);
    EXPECT_EQ(panes.pane[2].scrolls, (std::vector<Scroll>{{std::nullopt, -10.0}, {std::nullopt, 0.0}}));
}

TEST_F(ScrollPositioning, ThreeRightThenThreeLeftRestoresTheOffset) {
    store.ScrollX[0] = std::int16_t{35};
    select_pane(store, 1);
    click(Arrow::Right, 3);
    EXPECT_EQ(store.ScrollX[0].to_number(), 5);
    click(Arrow::Left, 3);
    EXPECT_EQ(store.ScrollX[0].to_number(), 35);
    EXPECT_EQ(panes.pane[0].scrolls.size(), 6u);
}

TEST_F(ScrollPositioning, TextOffsetIsKeptAndNotWritten) {
    store.ScrollX[0] = "abc";
    select_pane(store, 1);
    click(Arrow::Left);
    click(Arrow::Right);
    EXPECT_EQ(store.ScrollX[0], Value("abc"));
    EXPECT_TRUE(panes.pane[0].scrolls.empty());
    // The other axis still works.
    click(Arrow::Up);
    EXPECT_EQ(store.ScrollY[0].to_number(), 10);
}

TEST_F(ScrollPositioning, SixteenBitOverflowWidens) {
    store.ScrollX[1] = std::int16_t{32765};
    store.ScrollY[1] = std::int16_t{-32765};
    select_pane(store, 2);
    click(Arrow::Left);
    click(Arrow::Down);
    EXPECT_EQ(store.ScrollX[1], Value(std::int32_t{32775}));
    EXPECT_EQ(store.ScrollY[1], Value(std::int32_t{-32775}));
    EXPECT_EQ(panes.pane[1].scrolls, (std::vector<Scroll>{{32775.0, std::nullopt}, {std::nullopt, -32775.0}}));
}

TEST_F(ScrollPositioning, RefusedWriteKeepsTheStoredStep) {
    panes.pane[0].accepts = false;
    select_pane(store, 1);
    click(Arrow::Left, 2);
    EXPECT_EQ(store.ScrollX[0].to_number(), 20);
}

}  // namespace
