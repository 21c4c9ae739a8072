#include "value/value.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace {

std::string_view trim_blanks(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Checks the shape by hand: std::from_chars alone would also take "inf", "nan"
// and stop early on "12abc" without saying the rest was not part of a number.
struct NumberShape {
    bool valid = false;
    bool whole = false;  // no point, no exponent
};

NumberShape shape_of(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && is_digit(s[i])) ++i, ++digits;
    bool whole = true;
    if (i < s.size() && s[i] == '.') {
        whole = false;
        ++i;
        while (i < s.size() && is_digit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return {};
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        whole = false;
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t exponent_digits = 0;
        while (i < s.size() && is_digit(s[i])) ++i, ++exponent_digits;
        if (exponent_digits == 0) return {};
    }
    if (i != s.size()) return {};
    return {true, whole};
}

// The number operands of arithmetic, told apart by the kind the result must at
// least have.
enum class Rank { Int16, Int32, Double };

struct Operand {
    Rank rank;
    long long whole;  // valid unless rank is Double
    double real;
};

std::optional<Operand> operand_of(const Value& v) {
    const auto rank_of = [](const Value& n) -> std::optional<Operand> {
        switch (n.kind()) {
        case Value::Kind::Int16:
            return Operand{Rank::Int16, *n.to_int16(), 0};
        case Value::Kind::Int32:
            return Operand{Rank::Int32, *n.to_int32(), 0};
        case Value::Kind::Double:
            return Operand{Rank::Double, 0, *n.to_number()};
        default:
            return std::nullopt;
        }
    };
    switch (v.kind()) {
    case Value::Kind::Empty:
    case Value::Kind::Boolean:
        return Operand{Rank::Int16, static_cast<long long>(*v.to_number()), 0};
    case Value::Kind::String: {
        auto number = Value::number_in_text(v.to_text());
        if (!number) return std::nullopt;
        return rank_of(*number);
    }
    default:
        return rank_of(v);
    }
}

double as_double(const Operand& o) {
    return o.rank == Rank::Double ? o.real : static_cast<double>(o.whole);
}

std::optional<Value> combine(const Value& a, const Value& b, int sign) {
    auto x = operand_of(a);
    auto y = operand_of(b);
    if (!x || !y) return std::nullopt;
    const Rank rank = std::max(x->rank, y->rank);
    if (rank == Rank::Double) {
        const double result = as_double(*x) + sign * as_double(*y);
        if (!std::isfinite(result)) return std::nullopt;
        return Value(result);
    }
    // Both fit in 32 bits, so the exact result fits in long long.
    const long long result = x->whole + sign * y->whole;
    if (rank == Rank::Int16 && std::in_range<std::int16_t>(result))
        return Value(static_cast<std::int16_t>(result));
    if (std::in_range<std::int32_t>(result)) return Value(static_cast<std::int32_t>(result));
    return Value(static_cast<double>(result));
}

std::optional<double> round_half_even(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    const double below = std::floor(x);
    const double fraction = x - below;  // exact for binary doubles
    if (fraction < 0.5) return below;
    if (fraction > 0.5) return below + 1;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

template <typename Int>
std::optional<Int> rounded_into(std::optional<double> number) {
    if (!number) return std::nullopt;
    auto r = round_half_even(*number);
    if (!r || *r < std::numeric_limits<Int>::min() || *r > std::numeric_limits<Int>::max())
        return std::nullopt;
    return static_cast<Int>(*r);
}

template <typename T>
std::string integer_text(T v) {
    char buffer[24];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, end);
}

std::string double_text(double v) {
    if (v == 0) return "0";  // also -0, which would read as "-0"
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, end);
}

}  // namespace

Value::Kind Value::kind() const {
    switch (data_.index()) {
    case 1: return Kind::Int16;
    case 2: return Kind::Int32;
    case 3: return Kind::Double;
    case 4: return Kind::String;
    case 5: return Kind::Boolean;
    default: return Kind::Empty;
    }
}

std::optional<Value> Value::number_in_text(std::string_view text) {
    std::string_view s = trim_blanks(text);
    const NumberShape shape = shape_of(s);
    if (!shape.valid) return std::nullopt;
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);  // from_chars takes no plus
    const char* first = s.data();
    const char* last = s.data() + s.size();
    if (shape.whole) {
        long long whole = 0;
        auto [end, ec] = std::from_chars(first, last, whole);
        if (ec == std::errc() && end == last) return Value(whole);  // narrowest kind
    }
    double real = 0;
    auto [end, ec] = std::from_chars(first, last, real, std::chars_format::general);
    if (ec != std::errc() || end != last || !std::isfinite(real)) return std::nullopt;
    return Value(real);
}

std::string Value::to_text() const {
    switch (kind()) {
    case Kind::Empty: return {};
    case Kind::Int16: return integer_text(std::get<std::int16_t>(data_));
    case Kind::Int32: return integer_text(std::get<std::int32_t>(data_));
    case Kind::Double: return double_text(std::get<double>(data_));
    case Kind::String: return std::get<std::string>(data_);
    case Kind::Boolean: return std::get<bool>(data_) ? "True" : "False";
    }
    return {};
}

std::optional<double> Value::to_number() const {
    switch (kind()) {
    case Kind::Empty: return 0.0;
    case Kind::Int16: return std::get<std::int16_t>(data_);
    case Kind::Int32: return std::get<std::int32_t>(data_);
    case Kind::Double: return std::get<double>(data_);
    case Kind::Boolean: return std::get<bool>(data_) ? -1.0 : 0.0;
    case Kind::String: {
        auto number = number_in_text(std::get<std::string>(data_));
        if (!number) return std::nullopt;
        return number->to_number();
    }
    }
    return std::nullopt;
}

std::optional<std::int16_t> Value::to_int16() const { return rounded_into<std::int16_t>(to_number()); }

std::optional<std::int32_t> Value::to_int32() const { return rounded_into<std::int32_t>(to_number()); }

std::optional<Value> add(const Value& a, const Value& b) { return combine(a, b, +1); }

std::optional<Value> subtract(const Value& a, const Value& b) { return combine(a, b, -1); }

std::optional<bool> numerically_equal(const Value& a, const Value& b) {
    auto x = a.to_number();
    auto y = b.to_number();
    if (!x || !y) return std::nullopt;
    return *x == *y;
}
