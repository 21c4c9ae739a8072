#include "main_window/pane_layout.h"

#include <algorithm>

std::array<TwipRect, 4> quarter_layout(float scale_left, float scale_top, float scale_width,
                                       float scale_height) {
    const float half_width = scale_width / 2.0f;
    const float half_height = scale_height / 2.0f;
    const float right = half_width + scale_left;
    const float bottom = half_height + scale_top;
    return {{
        {scale_left, scale_top, half_width, half_height},
        {right, scale_top, half_width, half_height},
        {scale_left, bottom, half_width, half_height},
        {right, bottom, half_width, half_height},
    }};
}

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
