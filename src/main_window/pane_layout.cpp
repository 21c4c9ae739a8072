#include "main_window/pane_layout.h"

#include <algorithm>

std::array<PixelRect, 4> quarter_pixels(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    const int left_width = width / 2;
    const int top_height = height / 2;
    const int right_width = width - left_width;
    const int bottom_height = height - top_height;
    return {{
        {0, 0, left_width, top_height},
        {left_width, 0, right_width, top_height},
        {0, top_height, left_width, bottom_height},
        {left_width, top_height, right_width, bottom_height},
    }};
}
