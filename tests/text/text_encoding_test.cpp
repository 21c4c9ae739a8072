// Ill-formed UTF-8 as files written elsewhere and cut at a limit hold it.

#include "text/text_encoding.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8, WellFormedMeansNoOverlongNoSurrogateNothingPastTheLastCodePointNothingCut) {
    const std::pair<const char*, bool> cases[] = {
        {"", true}, {"caffè €", true}, {"\x7F", true},
        {"\xED\x9F\xBF", true}, {"\xEE\x80\x80", true}, {"\xF4\x8F\xBF\xBF", true},  // U+D7FF, U+E000, U+10FFFF
        // overlong forms of "/" and of the last code point each shorter form holds
        {"\xC0\xAF", false}, {"\xC1\xBF", false}, {"\xE0\x80\xAF", false}, {"\xE0\x9F\xBF", false},
        {"\xF0\x80\x80\xAF", false}, {"\xF0\x8F\xBF\xBF", false},
        {"\xED\xA0\x80", false}, {"\xED\xBF\xBF", false},  // U+D800, U+DFFF
        {"\xF4\x90\x80\x80", false}, {"\xF5\x80\x80\x80", false}, {"\xF8\x88\x80\x80\x80", false}, {"\xFF", false},
        {"a\xC3", false}, {"a\xE2\x82", false}, {"a\xF0\x9F\x98", false}, {"\x80", false}, {"\xE2\x82" "a", false},
    };
    for (const auto& [bytes, valid] : cases) EXPECT_EQ(text::is_valid_utf8(bytes), valid) << bytes;
}

TEST(Utf8, ACutTailIsFoundAndRepairLeavesOnlyWellFormedText) {
    const std::pair<const char*, std::size_t> tails[] = {
        {"caffè", 0}, {"a\xC3", 1}, {"a\xE2\x82", 2}, {"a\xF0\x9F\x98", 3}, {"a\xF0\x9F\x98\x80", 0}, {"a\x80", 0}};
    for (const auto& [bytes, tail] : tails) EXPECT_EQ(text::cut_utf8_tail(bytes), tail) << bytes;

    const std::pair<const char*, const char*> repairs[] = {
        {"caffè", "caffè"}, {"a\xFF" "b", "a\xEF\xBF\xBD" "b"}, {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"a\xE2\x82", "a\xEF\xBF\xBD"}, {"\xC0\xAF" "x", "\xEF\xBF\xBD\xEF\xBF\xBD" "x"},
    };
    for (const auto& [bytes, repaired] : repairs) EXPECT_EQ(text::repair_utf8(bytes), repaired) << bytes;
}

}  // namespace
