#pragma once
// The variables the main window, its countdown and the configuration dialog share.
// All start Empty; nothing here resets them. Arrays are indexed from 0: ScrollX[0]
// is pane 1's offset, Dati[0] the countdown.

#include <array>

#include "value/value.h"

struct SettingsStore {
    Value Finestra;                 // pane chosen for the arrows, 1..4, or Empty
    std::array<Value, 4> ScrollX;   // stored horizontal scroll offsets, panes 1..4
    std::array<Value, 4> ScrollY;   // stored vertical scroll offsets, panes 1..4
    // Dati[0]: seconds left in the countdown; Dati[1..3]: addresses of panes 1..3
    // as last read from a file; Dati[4..7]: refresh flags; Dati[8]: launcher path.
    std::array<Value, 9> Dati;
};
