// Reading display numbers in Italian and in C separators: whatever the text, a
// number read is finite, its general text reads back, and formatting it by a
// pattern from the input stays within bounds.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "calculator/number_texts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The input is "text\npattern"; without a line break, all of it is the text.
    const std::size_t cut = input.find('\n');
    const std::string_view text = input.substr(0, cut);
    const std::string_view pattern = cut == std::string_view::npos ? "##,##0.00" : input.substr(cut + 1);
    for (const platform::NumberSeparators& separators : {platform::NumberSeparators{",", "."}, platform::NumberSeparators{}}) {
        const auto value = calculator::parse_number(text, separators);
        if (!value) continue;
        if (!std::isfinite(*value)) std::abort();
        if (!calculator::parse_number(calculator::text(*value, separators), separators)) std::abort();
        if (pattern.size() < 64) calculator::format(*value, pattern, separators);
    }
    return 0;
}
