#pragma once
// Value: the loosely typed value the settings store and the calculator keep their
// variables in (Empty, 16-bit integer, 32-bit integer, double, text, boolean).
// It knows the conversions between those kinds and overflow-safe addition; it
// knows nothing of files, widgets or locales (texts read as numbers use ".").

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

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

    Kind kind() const;
    bool is_empty() const { return kind() == Kind::Empty; }
    bool is_text() const { return kind() == Kind::String; }
    // A number kind (Int16, Int32, Double; Boolean counts as -1/0).
    bool is_numeric_kind() const;

    // Empty gives "", numbers their plain shortest decimal form with "." ("12", "-3.5"),
    // booleans "True"/"False", texts themselves.
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
    friend std::optional<Value> add(const Value& a, const Value& b);
    friend std::optional<Value> subtract(const Value& a, const Value& b);

    // Numeric equality (Empty equals 0); nothing when either side is not a number.
    friend std::optional<bool> numerically_equal(const Value& a, const Value& b);

    // Same kind and same content.
    friend bool operator==(const Value& a, const Value& b) = default;

private:
    std::variant<std::monostate, std::int16_t, std::int32_t, double, std::string, bool> data_;
};
