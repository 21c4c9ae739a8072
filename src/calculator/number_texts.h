#pragma once
// The three ways the calculator turns numbers into display texts and back, in the
// user's number separators: pattern formatting, the general text of a result, and
// reading a display text. Pure functions; the caller supplies the separators, so
// the C library's locale never leaks in here.

#include <optional>
#include <string>
#include <string_view>

#include "platform/locale.h"

class Value;

namespace calculator {

// Writes a finite value by a pattern: "0" a digit always shown, "#" a digit shown
// only when significant, "." the decimal separator, "," anywhere in the integer
// places groups the integer part by threes; other characters are copied as they
// stand. The value is first taken to 15 significant digits, as the display shows
// it, then rounded to the pattern's decimals with halves away from zero.
// Examples (Italian separators): (1936.27, "##,##0.00") -> "1.936,27";
// (0, "##,##") -> ""; (0.5, "##,##.00") -> ",50".
std::string format(double value, std::string_view pattern, const platform::NumberSeparators& separators);

// The general text of a finite result: up to 15 significant digits, no group
// separators, no decimal separator for a whole number, exponent form ("1,5E+20",
// "1E-05") from 1E+15 up and below 1E-04.
std::string text(double value, const platform::NumberSeparators& separators);

// Reads a display text: an optional "-", digits with group separators between
// them, an optional decimal separator with or without digits after it, an optional
// exponent ("E", sign, digits). At least one digit. Nothing when the text is not
// such a number or lies beyond the double range.
std::optional<double> parse_number(std::string_view text, const platform::NumberSeparators& separators);

// A register's number: Empty is 0, numbers are themselves, texts are read as above.
std::optional<double> number(const Value& value, const platform::NumberSeparators& separators);

}  // namespace calculator
