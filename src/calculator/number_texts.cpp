#include "calculator/number_texts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "value/value.h"

namespace calculator {
namespace {

constexpr int kSignificantDigits = 15;

// A finite magnitude as its 15 significant decimal digits and the power of ten of
// the first one: 1936.27 -> {"193627000000000", 3}. Zero gives {"0", 0}.
struct Significand {
    std::string digits;
    int exponent = 0;
};

Significand significand(double magnitude) {
    if (magnitude == 0) return {"0", 0};
    char buf[64];
    // to_chars is locale-free and rounds correctly, unlike printf under setlocale.
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific,
                                   kSignificantDigits - 1);
    const std::string_view s(buf, static_cast<std::size_t>(res.ptr - buf));
    const auto e = s.find('e');
    Significand out;
    for (char c : s.substr(0, e))
        if (c != '.') out.digits += c;
    out.exponent = std::atoi(std::string(s.substr(e + 1)).c_str());
    return out;
}

// Adds one unit in the last place of a digit string; true when it carries out.
bool increment(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    return true;
}

// The magnitude split at the decimal point and rounded to `decimals` places.
struct FixedDigits {
    std::string integer;   // without leading zeros; empty for a zero integer part
    std::string fraction;  // exactly `decimals` digits
};

FixedDigits fixed_digits(double magnitude, std::size_t decimals) {
    const Significand sig = significand(magnitude);
    std::string integer, fraction;
    if (sig.exponent >= 0) {
        const auto int_len = static_cast<std::size_t>(sig.exponent) + 1;
        integer = sig.digits.substr(0, std::min(int_len, sig.digits.size()));
        if (int_len > sig.digits.size()) integer.append(int_len - sig.digits.size(), '0');
        if (int_len < sig.digits.size()) fraction = sig.digits.substr(int_len);
    } else {
        fraction = std::string(static_cast<std::size_t>(-sig.exponent - 1), '0') + sig.digits;
    }
    if (fraction.size() > decimals) {
        const bool round_up = fraction[decimals] >= '5';
        fraction.resize(decimals);
        if (round_up && increment(fraction) && increment(integer)) integer.insert(0, "1");
    } else {
        fraction.append(decimals - fraction.size(), '0');
    }
    const auto first = integer.find_first_not_of('0');
    integer.erase(0, first == std::string::npos ? integer.size() : first);
    return {integer, fraction};
}

std::string grouped(const std::string& digits, const std::string& group) {
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += group;
        out += digits[i];
    }
    return out;
}

bool is_placeholder(char c) { return c == '0' || c == '#' || c == ',' || c == '.'; }

bool starts_with_at(std::string_view text, std::size_t pos, std::string_view what) {
    return !what.empty() && text.substr(pos, what.size()) == what;
}

bool is_digit_at(std::string_view text, std::size_t pos) {
    return pos < text.size() && text[pos] >= '0' && text[pos] <= '9';
}

}  // namespace

std::string format(double value, std::string_view pattern, const platform::NumberSeparators& separators) {
    const auto begin = std::min(pattern.find_first_of("0#,."), pattern.size());
    auto end = begin;
    while (end < pattern.size() && is_placeholder(pattern[end])) ++end;
    const std::string_view prefix = pattern.substr(0, begin);
    const std::string_view places = pattern.substr(begin, end - begin);
    const std::string_view suffix = pattern.substr(end);

    const auto point = places.find('.');
    const std::string_view int_places = places.substr(0, point);
    const std::string_view frac_places =
        point == std::string_view::npos ? std::string_view() : places.substr(point + 1);
    const auto decimals = static_cast<std::size_t>(frac_places.find_last_of("0#") + 1);
    const auto min_int_digits = static_cast<std::size_t>(std::count(int_places.begin(), int_places.end(), '0'));
    const bool grouping = int_places.find(',') != std::string_view::npos;

    FixedDigits fixed = fixed_digits(std::fabs(value), decimals);
    const bool negative = std::signbit(value) &&
                          (!fixed.integer.empty() || fixed.fraction.find_first_not_of('0') != std::string::npos);

    // Optional decimal places drop their trailing zeros; required ones ("0") stay.
    const auto last_required = frac_places.find_last_of('0');
    const std::size_t keep = last_required == std::string_view::npos ? 0 : last_required + 1;
    while (fixed.fraction.size() > keep && fixed.fraction.back() == '0') fixed.fraction.pop_back();

    if (fixed.integer.size() < min_int_digits) fixed.integer.insert(0, min_int_digits - fixed.integer.size(), '0');

    std::string out(prefix);
    if (negative) out += '-';
    out += grouping ? grouped(fixed.integer, separators.group) : fixed.integer;
    if (point != std::string_view::npos) out += separators.decimal + fixed.fraction;
    out += suffix;
    return out;
}

std::string text(double value, const platform::NumberSeparators& separators) {
    if (value == 0) return "0";  // also for -0, which no one wants to see
    Significand sig = significand(std::fabs(value));
    const auto last = sig.digits.find_last_not_of('0');
    sig.digits.resize(last + 1);

    std::string out = value < 0 ? "-" : "";
    if (sig.exponent >= kSignificantDigits || sig.exponent < -4) {
        out += sig.digits.substr(0, 1);
        if (sig.digits.size() > 1) out += separators.decimal + sig.digits.substr(1);
        const int magnitude = std::abs(sig.exponent);
        out += sig.exponent < 0 ? "E-" : "E+";
        if (magnitude < 10) out += '0';
        out += std::to_string(magnitude);
    } else if (sig.exponent >= 0) {
        const auto int_len = static_cast<std::size_t>(sig.exponent) + 1;
        if (sig.digits.size() <= int_len) {
            out += sig.digits + std::string(int_len - sig.digits.size(), '0');
        } else {
            out += sig.digits.substr(0, int_len) + separators.decimal + sig.digits.substr(int_len);
        }
    } else {
        out += "0" + separators.decimal + std::string(static_cast<std::size_t>(-sig.exponent - 1), '0') +
               sig.digits;
    }
    return out;
}

std::optional<double> parse_number(std::string_view text, const platform::NumberSeparators& separators) {
    // Rewritten into the one spelling from_chars knows, which no locale affects.
    std::string plain;
    std::size_t pos = 0;
    if (starts_with_at(text, pos, "-")) {
        plain += '-';
        ++pos;
    }
    std::size_t mantissa_digits = 0;
    while (pos < text.size()) {
        if (is_digit_at(text, pos)) {
            plain += text[pos++];
            ++mantissa_digits;
        } else if (mantissa_digits > 0 && starts_with_at(text, pos, separators.group) &&
                   is_digit_at(text, pos + separators.group.size())) {
            pos += separators.group.size();
        } else {
            break;
        }
    }
    if (starts_with_at(text, pos, separators.decimal)) {
        pos += separators.decimal.size();
        plain += '.';
        while (is_digit_at(text, pos)) {
            plain += text[pos++];
            ++mantissa_digits;
        }
    }
    if (mantissa_digits == 0) return std::nullopt;
    if (pos < text.size() && (text[pos] == 'E' || text[pos] == 'e')) {
        plain += 'e';
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) plain += text[pos++];
        if (!is_digit_at(text, pos)) return std::nullopt;
        while (is_digit_at(text, pos)) plain += text[pos++];
    }
    if (pos != text.size()) return std::nullopt;

    double result = 0;
    const auto res = std::from_chars(plain.data(), plain.data() + plain.size(), result);
    if (res.ec != std::errc() || res.ptr != plain.data() + plain.size() || !std::isfinite(result))
        return std::nullopt;
    return result;
}

std::optional<double> number(const Value& value, const platform::NumberSeparators& separators) {
    if (value.is_text()) return parse_number(value.to_text(), separators);
    return value.to_number();
}

}  // namespace calculator
