#include "config_dialog/scroll_positioning.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace {

using Scrolls = std::vector<std::pair<std::optional<double>, std::optional<double>>>;
constexpr std::nullopt_t none = std::nullopt;

// The arrows move pane `pane` (0: none chosen) from stored offsets x, y to end_x, end_y
// (a long takes the narrowest integer kind), and the pane was sent `written`.
struct Case { int pane; std::vector<Arrow> arrows; Value x, y, end_x, end_y; Scrolls written; };

TEST(ScrollPositioning, ArrowsStepOnlyTheChosenPanesStoredOffsetAndWriteIt) {
    const Case cases[] = {
        {0, {Arrow::Left, Arrow::Up, Arrow::Right, Arrow::Down}, {}, {}, {}, {}, {}},
        // Left and up raise the offset, right and down lower it, on the arrow's axis only.
        {2, {Arrow::Left, Arrow::Up}, {}, {}, 10L, 10L, {{10.0, none}, {none, 10.0}}},
        {2, {Arrow::Right, Arrow::Down}, {}, {}, -10L, -10L, {{-10.0, none}, {none, -10.0}}},
        // Pane 3 refuses every write: the next step still starts from the stored offset.
        {3, {Arrow::Down, Arrow::Up}, {}, {}, {}, 0L, {{none, -10.0}, {none, 0.0}}},
        {1, {Arrow::Left, Arrow::Right, Arrow::Up}, "abc", {}, "abc", 10L, {{none, 10.0}}},
        {2, {Arrow::Left, Arrow::Down}, 32765L, -32765L, 32775L, -32775L, {{32775.0, none}, {none, -32775.0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "pane " << c.pane << ", " << c.arrows.size() << " arrows");
        SettingsStore store;
        FakePanes panes;
        panes.pane[2].accepts = false;
        const std::size_t chosen = c.pane ? c.pane - 1 : 0;
        if (c.pane) select_pane(store, c.pane);
        store.ScrollX[chosen] = c.x;
        store.ScrollY[chosen] = c.y;
        for (Arrow arrow : c.arrows) arrow_click(store, panes.set(), arrow);
        EXPECT_EQ(std::tuple(store.ScrollX[chosen], store.ScrollY[chosen], panes.pane[chosen].scrolls),
                  std::tuple(c.end_x, c.end_y, c.written));
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_TRUE(i == chosen || (store.ScrollX[i] == Value() && store.ScrollY[i] == Value() &&
                                         panes.pane[i].scrolls.empty())) << "pane " << i + 1;
    }
}

}  // namespace
