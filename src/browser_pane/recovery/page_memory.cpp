#include "browser_pane/recovery/page_memory.h"

#include <charconv>
#include <string_view>

PageMemoryLimit page_memory_limit(const char* value) {
    if (!value)
        return {};
    std::string_view text(value);
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    text = first == std::string_view::npos ? std::string_view() : text.substr(first, last - first + 1);
    unsigned long long mib = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), mib);
    if (!text.empty() && error == std::errc() && end == text.data() + text.size() && mib >= kMinPageMemoryMib &&
        mib <= kMaxPageMemoryMib)
        return {static_cast<unsigned>(mib), ""};
    return {kDefaultPageMemoryMib, std::string("orvalis: ") + kPageMemoryVariable + "=\"" + value +
                                       "\" is not a whole number of MiB from " + std::to_string(kMinPageMemoryMib) +
                                       " to " + std::to_string(kMaxPageMemoryMib) + "; using " +
                                       std::to_string(kDefaultPageMemoryMib)};
}
