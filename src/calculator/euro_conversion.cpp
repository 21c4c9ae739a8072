#include "calculator/euro_conversion.h"

#include <cmath>

#include "calculator/number_texts.h"

namespace calculator {

std::optional<Conversion> lire_to_euro(std::string_view readout, const platform::NumberSeparators& separators) {
    const auto lire = parse_number(readout, separators);
    if (!lire) return std::nullopt;
    const double euro = *lire / kLirePerEuro;
    if (!std::isfinite(euro)) return std::nullopt;
    return Conversion{format(*lire, "##,##", separators), "€ " + format(euro, "##,##0.00", separators)};
}

std::optional<Conversion> euro_to_lire(std::string_view readout, const platform::NumberSeparators& separators) {
    const auto euro = parse_number(readout, separators);
    if (!euro) return std::nullopt;
    const double amount = *euro * kLirePerEuro;
    if (!std::isfinite(amount)) return std::nullopt;
    const double whole = std::floor(amount);
    const double shown = amount - whole > 0.5 ? whole + 1 : whole;
    return Conversion{format(*euro, "##,##.00", separators), "L. " + format(shown, "##,##", separators)};
}

}  // namespace calculator
