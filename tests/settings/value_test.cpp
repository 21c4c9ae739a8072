#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>
#include <locale>
#include <optional>
#include <string>
#include <vector>

#include "settings/value.h"

namespace {

using Kind = Value::Kind;

Value i16(int v) { return Value(static_cast<std::int16_t>(v)); }
Value i32(long v) { return Value(static_cast<std::int32_t>(v)); }

TEST(ValueNumberInText, ReadsDecimalNumbersInTheNarrowestKind) {
    struct Case { std::string text; Value expected; };
    const std::vector<Case> cases = {
        {"12", i16(12)},           {" -5 ", i16(-5)},           {"\t7\t", i16(7)},
        {"+3", i16(3)},            {"007", i16(7)},             {"-0", i16(0)},
        {"32767", i16(32767)},     {"32768", i32(32768)},       {"-32769", i32(-32769)},
        {"2147483648", Value(2147483648.0)}, {"99999999999999999999", Value(1e20)},
        {"1.5", Value(1.5)},       {".5", Value(0.5)},          {"5.", Value(5.0)},
        {"1e5", Value(100000.0)},  {"-2.5E-3", Value(-0.0025)}, {"5.0", Value(5.0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        auto number = Value::number_in_text(c.text);
        ASSERT_TRUE(number.has_value());
        EXPECT_EQ(*number, c.expected);
    }
}

TEST(ValueNumberInText, RefusesEverythingElse) {
    for (const char* text : {"", " ", "abc", "12abc", "1,5", "1 2", "1.2.3", ".", "-", "+", "e5",
                             "1e", "1e+", "inf", "-inf", "nan", "0x10", "1e999", "--1", "\xC2\xA0" "1"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(Value::number_in_text(text).has_value());
    }
}

TEST(ValueConversions, TextOfEachKind) {
    struct Case { Value value; std::string text; };
    const std::vector<Case> cases = {
        {Value(), ""},          {i16(-3), "-3"},        {i32(70000), "70000"},
        {Value(3.5), "3.5"},    {Value(-0.0), "0"},     {Value(0.1), "0.1"},
        {Value(1e20), "1e+20"}, {Value(2.0), "2"},      {Value(true), "True"},
        {Value(false), "False"}, {Value("abc"), "abc"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.value.to_text(), c.text);
}

TEST(ValueConversions, NumbersOfEachKind) {
    struct Case { Value value; std::optional<double> number; };
    const std::vector<Case> cases = {
        {Value(), 0.0},         {Value(true), -1.0},   {Value(false), 0.0},
        {i32(-70000), -70000.0}, {Value(" 12 "), 12.0}, {Value("2.5"), 2.5},
        {Value("x"), std::nullopt}, {Value(""), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.to_text());
        EXPECT_EQ(c.value.to_number(), c.number);
    }
}

TEST(ValueConversions, IntegersRoundHalfToEvenAndCheckTheRange) {
    struct Case { Value value; std::optional<std::int16_t> as16; std::optional<std::int32_t> as32; };
    const std::vector<Case> cases = {
        {Value(2.5), 2, 2},          {Value(3.5), 4, 4},          {Value(-2.5), -2, -2},
        {Value(1.4), 1, 1},          {Value("1.6"), 2, 2},        {Value(), 0, 0},
        {Value(32767.4), 32767, 32767}, {Value(32767.5), std::nullopt, 32768},
        {Value(-32768.5), -32768, -32768}, {i32(40000), std::nullopt, 40000},
        {Value(3e9), std::nullopt, std::nullopt}, {Value("abc"), std::nullopt, std::nullopt},
        {Value(std::numeric_limits<double>::quiet_NaN()), std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.to_text());
        EXPECT_EQ(c.value.to_int16(), c.as16);
        EXPECT_EQ(c.value.to_int32(), c.as32);
    }
}

TEST(ValueConversions, OtherIntegerTypesTakeTheNarrowestKind) {
    EXPECT_EQ(Value(5L).kind(), Kind::Int16);
    EXPECT_EQ(Value(std::size_t{70000}).kind(), Kind::Int32);
    EXPECT_EQ(Value(std::int64_t{1} << 40), Value(1099511627776.0));
    EXPECT_EQ(Value(std::numeric_limits<unsigned long long>::max()).kind(), Kind::Double);
}

TEST(ValueArithmetic, WidensInsteadOfWrapping) {
    struct Case { Value a; Value b; bool plus; Value expected; };
    const std::vector<Case> cases = {
        {i16(120), i16(1), false, i16(119)},
        {i16(32767), i16(1), true, i32(32768)},
        {i16(-32768), i16(1), false, i32(-32769)},
        {i32(2147483647), i16(1), true, Value(2147483648.0)},
        {i32(-2147483647 - 1), i16(1), false, Value(-2147483649.0)},
        {i32(5), i16(1), true, i32(6)},
        {Value(), i16(10), true, i16(10)},
        {Value(), i16(10), false, i16(-10)},
        {Value(true), i16(1), true, i16(0)},
        {Value(1.5), Value(1.5), true, Value(3.0)},
        {Value("10"), i16(5), true, i16(15)},
        {Value(" 2.5 "), i16(1), true, Value(3.5)},
        {Value("40000"), i16(1), true, i32(40001)},
        {Value("7"), Value("3"), false, i16(4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.a.to_text() + (c.plus ? " + " : " - ") + c.b.to_text());
        const auto result = c.plus ? add(c.a, c.b) : subtract(c.a, c.b);
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(*result, c.expected);
    }
}

TEST(ValueArithmetic, NothingWhenASideIsNoNumber) {
    EXPECT_FALSE(add(Value("abc"), i16(1)).has_value());
    EXPECT_FALSE(subtract(i16(1), Value("1,5")).has_value());
    EXPECT_FALSE(add(Value(1e308), Value(1e308)).has_value());
}

TEST(ValueComparison, ComparesNumbersWhateverTheirKind) {
    EXPECT_EQ(numerically_equal(Value("12"), i16(12)), true);
    EXPECT_EQ(numerically_equal(Value(), i16(0)), true);
    EXPECT_EQ(numerically_equal(Value(2.0), i32(2)), true);
    EXPECT_EQ(numerically_equal(i16(1), i16(2)), false);
    EXPECT_EQ(numerically_equal(Value("x"), i16(1)), std::nullopt);
}

// The decimal point of number texts must not follow the user's locale.
struct CommaDecimals : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST(ValueConversions, IgnoreTheLocale) {
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimals));
    const char* c_locale = nullptr;
    for (const char* name : {"it_IT.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8"})
        if ((c_locale = std::setlocale(LC_ALL, name))) break;
    const std::string text = Value(2.5).to_text();
    const auto number = Value::number_in_text("2.5");
    std::locale::global(previous);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(text, "2.5");
    EXPECT_EQ(number, Value(2.5));
}

}  // namespace
