#pragma once
// The zoom a pane may show, in whole percents: the steps web browsers use, from 30 %
// to 300 %. A pane is only ever on one of them, whatever asked for its zoom.

#include <array>

inline constexpr std::array<int, 14> kZoomSteps{30, 50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300};
inline constexpr int kNormalZoom = 100;

// The step nearest to factor (1.0 is 100 %); a factor outside the range gets the end
// step on its side, one that is not a number 100 %.
int nearest_zoom_step(double factor);
// One step up or down from percent, stopping at the ends.
int zoom_step_in(int percent);
int zoom_step_out(int percent);
