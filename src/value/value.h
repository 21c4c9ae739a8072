#pragma once
// Value: the loosely typed value the settings store and the calculator keep their
// variables in (Empty, 16-bit integer, 32-bit integer, double, text, boolean).
// It knows the conversions between those kinds and overflow-safe addition; it
// knows nothing of files, widgets or locales (texts read as numbers use ".").

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

// Space and tab: the blanks allowed around a number in a text, skipped before a
// field of a settings file, and quoted at the edges of a text written to one.
inline bool is_blank(char c) { return c == ' ' || c == '\t'; }

class Value {
public:
    enum class Kind { Empty, Int16, Int32, Double, String, Boolean };

    Value() = default;                       // Empty
    Value(std::int16_t v) : data_(v) {}
    Value(std::int32_t v) : data_(v) {}
    Value(double v) : data_(v) {}
    Value(bool v) : data_(v) {}
    Value(std::string v) : data_(std::move(v)) {}
    Value(const char* v) : data_(std::string(v)) {}
    // Any other integer type (long, std::size_t, ...) takes the narrowest kind that
    // holds it, so Value(5L) is an Int16 and a value beyond 32 bits a Double.
    template <std::integral T>
        requires(!std::same_as<T, bool> && !std::same_as<T, std::int16_t> &&
                 !std::same_as<T, std::int32_t>)
    Value(T v) : Value(narrowest_integer(v)) {}

    // The number a text holds, or nothing: blanks (space, tab) around it allowed, an
    // optional sign, "." as the decimal point, an optional exponent ("1e5"). Whole
    // numbers without point or exponent come as Int16 or Int32 when they fit, all
    // others as Double; "inf", "nan", hex and numbers beyond the double range are texts.
    static std::optional<Value> number_in_text(std::string_view text);

    Kind kind() const;
    bool is_text() const { return kind() == Kind::String; }

    // Empty gives "", numbers their plain shortest decimal form with "." ("12", "-3.5"),
    // booleans "True"/"False", texts themselves. A double keeps the shortest text that
    // reads back as the same double, so very large or small ones use an exponent
    // ("1e+20"); -0 gives "0".
    std::string to_text() const;

    // Empty gives 0; numbers themselves; booleans -1 or 0; a text that holds a
    // decimal number (blanks around it allowed) that number; any other text nothing.
    std::optional<double> to_number() const;

    // As to_number, rounded half to even, then range-checked.
    std::optional<std::int16_t> to_int16() const;
    std::optional<std::int32_t> to_int32() const;

    // Addition and subtraction in the narrowest kind that holds the result:
    // 16-bit widens to 32-bit, 32-bit to double; never wraps. Texts take part as
    // their numbers. Nothing when either side is not a number.
    // The result is at least as wide as the wider side (Empty and booleans count as
    // Int16, a text as the kind number_in_text gives it): Int32 5 + Int16 1 is Int32 6,
    // and a Double stays a Double. A double result beyond the double range is nothing.
    friend std::optional<Value> add(const Value& a, const Value& b);
    friend std::optional<Value> subtract(const Value& a, const Value& b);

    // Numeric equality (Empty equals 0); nothing when either side is not a number.
    friend std::optional<bool> numerically_equal(const Value& a, const Value& b);

    // Same kind and same content.
    friend bool operator==(const Value& a, const Value& b) = default;

private:
    template <std::integral T>
    static Value narrowest_integer(T v) {
        // Widened first: std::in_range refuses the character types.
        using Wide = std::conditional_t<std::is_signed_v<T>, long long, unsigned long long>;
        const Wide w = v;
        if (std::in_range<std::int16_t>(w)) return Value(static_cast<std::int16_t>(w));
        if (std::in_range<std::int32_t>(w)) return Value(static_cast<std::int32_t>(w));
        return Value(static_cast<double>(w));
    }

    std::variant<std::monostate, std::int16_t, std::int32_t, double, std::string, bool> data_;
};
