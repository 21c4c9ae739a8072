#pragma once
// Byte-level text helpers for text that may come from anywhere (a settings file
// written on another machine, a file name, a caller's bytes): UTF-8 checking and
// repair, and Windows-1252 decoding. Every text that reaches a widget or the page
// viewer passes repair_utf8 first. They know nothing of fields, lines or files.

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// Well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool is_valid_utf8(std::string_view bytes);

// How many bytes at the end begin a UTF-8 sequence that was cut short (0 to 3),
// so that a field cut at a size limit can drop them instead of turning invalid.
std::size_t cut_utf8_tail(std::string_view bytes);

// The bytes with every ill-formed sequence replaced by U+FFFD.
std::string repair_utf8(std::string_view bytes);

// Windows-1252 as UTF-8. The five bytes Windows leaves unassigned (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the C1 controls of the same number, as browsers do,
// so every byte has a character and nothing is lost.
std::string cp1252_to_utf8(std::string_view bytes);

}  // namespace text
