#pragma once
// Where each control of the configuration dialog sits, in twips within the client
// area; the window turns them into pixels.

#include <array>

struct TwipsRect {
    int left, top, width, height;
};


namespace dialog_layout {

constexpr TwipsRect client{0, 0, 5325, 5925};

// The headings of the five text boxes: four addresses and the launcher path.
constexpr std::array<TwipsRect, 5> label{{
    {2190, 120, 795, 225}, {2190, 690, 795, 225}, {2190, 1260, 795, 225},
    {2190, 1830, 795, 225}, {1800, 2430, 1620, 225},
}};
constexpr std::array<TwipsRect, 5> text{{
    {60, 360, 5175, 285}, {60, 960, 5175, 285}, {60, 1500, 5175, 285},
    {60, 2070, 5175, 285}, {60, 2700, 5175, 285},
}};
constexpr TwipsRect pane_choice_frame{60, 3240, 3645, 1755};
constexpr TwipsRect refresh_flag_frame{3810, 3240, 1425, 1755};
constexpr std::array<TwipsRect, 4> option{{
    {210, 3300, 1095, 375}, {210, 3720, 1095, 375}, {210, 4140, 1095, 375}, {210, 4560, 1095, 375},
}};
// The arrows: left, up, right and down, a cross around one centre.
constexpr std::array<TwipsRect, 4> image{{
    {2040, 3870, 480, 480}, {2550, 3390, 480, 480}, {3060, 3870, 480, 480}, {2550, 4380, 480, 480},
}};
constexpr std::array<TwipsRect, 4> check{{
    {3870, 3300, 1245, 375}, {3870, 3720, 1245, 375}, {3870, 4140, 1245, 375}, {3870, 4560, 1245, 375},
}};
// The buttons: "Carica File", "Esci Configurazione", "Aggiorna Home", "Salva File".
constexpr std::array<TwipsRect, 4> command{{
    {90, 5100, 1545, 315}, {90, 5520, 5115, 315}, {3510, 5100, 1695, 315}, {1830, 5100, 1515, 315},
}};

}  // namespace dialog_layout
