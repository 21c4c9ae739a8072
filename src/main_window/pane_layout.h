#pragma once
// The main window's four equal quarters in whole pixels, pane 1 top-left, 2
// top-right, 3 bottom-left, 4 bottom-right. Applying them to widgets is the
// window's business.

#include <array>

struct PixelRect {
    int x, y, width, height;
};

// Whole pixels from (0, 0): the quarters meet without gap or overlap and cover the
// area exactly; at odd sizes the right column and bottom row take the spare pixel.
// Negative sizes count as 0.
std::array<PixelRect, 4> quarter_pixels(int width, int height);
