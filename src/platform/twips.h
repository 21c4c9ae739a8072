#pragma once
// Window geometry is designed in twips, 1/1440 inch: 15 twips to a pixel at the
// usual 96 dots per inch.

namespace platform {

constexpr int twips_per_pixel = 15;
constexpr int twips_to_pixels(int twips) { return twips / twips_per_pixel; }

}  // namespace platform
