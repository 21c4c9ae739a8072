#include "config_dialog/scroll_positioning.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace {

constexpr std::int16_t step_pixels = 10;

bool is_horizontal(Arrow arrow) { return arrow == Arrow::Left || arrow == Arrow::Right; }
bool raises_offset(Arrow arrow) { return arrow == Arrow::Left || arrow == Arrow::Up; }

}  // namespace

void select_pane(SettingsStore& store, int n) {
    store.Finestra = Value(static_cast<std::int16_t>(n));
}

void arrow_click(SettingsStore& store, const PaneSet& panes, Arrow arrow) {
    const Value step(step_pixels);
    for (int n = 1; n <= 4; ++n) {
        // Finestra only ever holds a pane number or nothing; Empty counts as 0 and
        // so matches no pane.
        if (!numerically_equal(store.Finestra, Value(static_cast<std::int16_t>(n))).value_or(false))
            continue;

        const auto index = static_cast<std::size_t>(n - 1);
        Value& offset = is_horizontal(arrow) ? store.ScrollX[index] : store.ScrollY[index];
        // The new offset comes from the stored one, never from the page, so a pane
        // that is still loading does not lose the step.
        if (auto moved = raises_offset(arrow) ? add(offset, step) : subtract(offset, step))
            offset = *moved;

        const auto pixels = offset.to_number();
        Pane* pane = panes[index];
        if (!pixels || !pane) continue;
        if (is_horizontal(arrow))
            pane->set_body_scroll(*pixels, std::nullopt);
        else
            pane->set_body_scroll(std::nullopt, *pixels);
    }
}
