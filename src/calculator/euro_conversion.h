#pragma once
// The "Euro" and "Lire" keys' arithmetic: the display read as one currency, the
// amount in the other for the second line, and the display re-written in the
// grouped form of its own currency. The calculator engine presses "=" first and
// applies the result; this knows nothing of keys.

#include <optional>
#include <string>
#include <string_view>

#include "platform/locale.h"

namespace calculator {

inline constexpr double kLirePerEuro = 1936.27;

struct Conversion {
    std::string readout;  // the display's amount, re-written
    std::string label;    // "€ 516,46" or "L. 193.627"
};

// The display taken as lire: euro to the cent (ties to the cent away from zero),
// the display in whole grouped lire. Nothing when the display is not a number.
std::optional<Conversion> lire_to_euro(std::string_view readout, const platform::NumberSeparators& separators);

// The display taken as euro: whole lire, where only more than half a lira rounds
// up (an exact half rounds down, negative amounts too); the display with two
// decimals. Nothing when the display is not a number or the amount overflows.
std::optional<Conversion> euro_to_lire(std::string_view readout, const platform::NumberSeparators& separators);

}  // namespace calculator
