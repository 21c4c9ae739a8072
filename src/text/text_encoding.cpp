#include "text/text_encoding.h"

#include <array>
#include <cstdint>

namespace text {
namespace {

enum class Step { Ok, Invalid, Truncated };

struct Decoded {
    Step step;
    std::size_t length;  // bytes of the sequence; for Invalid its well-formed start, at least 1
};

bool in(unsigned char c, unsigned char low, unsigned char high) { return c >= low && c <= high; }

// One sequence at bytes[at], following the table of well-formed UTF-8 in the Unicode standard.
Decoded decode_at(std::string_view bytes, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return {Step::Ok, 1};
    std::size_t length = 0;
    unsigned char second_low = 0x80, second_high = 0xBF;
    if (in(lead, 0xC2, 0xDF)) {
        length = 2;
    } else if (in(lead, 0xE0, 0xEF)) {
        length = 3;
        if (lead == 0xE0) second_low = 0xA0;
        if (lead == 0xED) second_high = 0x9F;  // no surrogates
    } else if (in(lead, 0xF0, 0xF4)) {
        length = 4;
        if (lead == 0xF0) second_low = 0x90;
        if (lead == 0xF4) second_high = 0x8F;  // nothing past U+10FFFF
    } else {
        return {Step::Invalid, 1};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (at + i >= bytes.size()) return {Step::Truncated, i};
        const unsigned char low = i == 1 ? second_low : 0x80;
        const unsigned char high = i == 1 ? second_high : 0xBF;
        if (!in(byte(i), low, high)) return {Step::Invalid, i};
    }
    return {Step::Ok, length};
}

void append_code_point(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// 0x80..0x9F; the rest of Windows-1252 equals Latin-1.
constexpr std::array<std::uint16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

bool is_valid_utf8(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const Decoded d = decode_at(bytes, at);
        if (d.step != Step::Ok) return false;
        at += d.length;
    }
    return true;
}

std::size_t cut_utf8_tail(std::string_view bytes) {
    // A cut sequence starts at most three bytes before the end.
    const std::size_t from = bytes.size() > 3 ? bytes.size() - 3 : 0;
    for (std::size_t at = from; at < bytes.size(); ++at) {
        if (decode_at(bytes, at).step == Step::Truncated) return bytes.size() - at;
    }
    return 0;
}

std::string repair_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const Decoded d = decode_at(bytes, at);
        if (d.step == Step::Ok) {
            out.append(bytes.substr(at, d.length));
        } else {
            out += "\xEF\xBF\xBD";
        }
        at += d.length;
    }
    return out;
}

std::string cp1252_to_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        append_code_point(out, in(b, 0x80, 0x9F) ? kCp1252High[b - 0x80] : b);
    }
    return out;
}

}  // namespace text
