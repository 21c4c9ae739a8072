#include "settings/settings_writer.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "text/text_encoding.h"

namespace settings {
namespace {

// A field ends at the line end, so a text has to fit on one line.
std::string one_line(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\0') continue;
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;  // CR LF: one blank
        out += (c == '\r' || c == '\n') ? ' ' : c;
    }
    return out;
}

bool needs_quotes(std::string_view text) {
    if (text.empty()) return false;
    if (text.find(',') != std::string_view::npos) return true;
    if (is_blank(text.front()) || is_blank(text.back())) return true;
    if (text.front() == '"') return true;
    // On the first line it would pass for a byte-order mark and vanish.
    if (text.starts_with("\xEF\xBB\xBF")) return true;
    // "12" reads back as the number 12, whose text is "12" again; "007" would not.
    if (auto number = Value::number_in_text(text)) return number->to_text() != text;
    return false;
}

std::string text_line(std::string_view raw) {
    std::string text = one_line(text::repair_utf8(raw));
    if (!needs_quotes(text)) return text;
    std::replace(text.begin(), text.end(), '"', '\'');
    return '"' + text + '"';
}

bool is_finite_number(const Value& value) {
    const auto number = value.to_number();
    return number && std::isfinite(*number);
}

}  // namespace

std::string settings_line(const Value& value) {
    switch (value.kind()) {
    case Value::Kind::Empty:
        return {};
    case Value::Kind::Int16:
    case Value::Kind::Int32:
    case Value::Kind::Double:
        if (is_finite_number(value)) {
            // The blank before stands where a minus sign would be.
            const std::string digits = value.to_text();
            return (digits.front() == '-' ? "" : " ") + digits + " ";
        }
        return text_line(value.to_text());
    case Value::Kind::Boolean:
    case Value::Kind::String:
        return text_line(value.to_text());
    }
    return {};
}

std::string settings_file_content(const std::vector<Value>& values) {
    std::string content;
    for (const Value& value : values) {
        content += settings_line(value);
        content += "\r\n";
    }
    return content;
}

}  // namespace settings
