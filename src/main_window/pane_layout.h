#pragma once
// The main window's four equal quarters, pane 1 top-left, 2 top-right, 3
// bottom-left, 4 bottom-right: once in twips as the window measures its client
// area, once in whole pixels for the toolkit. Applying them to widgets is the
// window's business.

#include <array>

struct TwipRect {
    float left, top, width, height;
};

// Halves kept fractional: a client 9705 x 3675 twips gives quarters 4852.5 x 1837.5.
std::array<TwipRect, 4> quarter_layout(float scale_left, float scale_top, float scale_width,
                                       float scale_height);

struct PixelRect {
    int x, y, width, height;
};

// Whole pixels from (0, 0): the quarters meet without gap or overlap and cover the
// area exactly; at odd sizes the right column and bottom row take the spare pixel.
// Negative sizes count as 0.
std::array<PixelRect, 4> quarter_pixels(int width, int height);
