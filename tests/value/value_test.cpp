#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "value/value.h"

namespace {

using std::nullopt;

Value i16(int v) { return Value(static_cast<std::int16_t>(v)); }
Value i32(long v) { return Value(static_cast<std::int32_t>(v)); }

TEST(ValueNumberInText, TakesTheNarrowestKindAndRefusesAllButPlainDecimals) {
    struct Case { std::string text; std::optional<Value> number; };
    const std::vector<Case> cases = {
        {"\t+7 ", i16(7)},      {"32767", i16(32767)},  {"32768", i32(32768)},   {"-32769", i32(-32769)},
        {"2147483648", Value(2147483648.0)}, {".5", Value(0.5)}, {"5.0", Value(5.0)}, {"1e5", Value(1e5)},
        {"", nullopt},          {"12abc", nullopt},     {"1,5", nullopt},        {".", nullopt},
        {"1e", nullopt},        {"inf", nullopt},       {"nan", nullopt},        {"0x10", nullopt},
        {"1e999", nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(Value::number_in_text(c.text), c.number) << c.text;
}

TEST(ValueConversions, TextNumberAndIntegersOfEachKind) {
    struct Case { Value value; std::string text; std::optional<double> number;
                  std::optional<std::int16_t> as16; std::optional<std::int32_t> as32; };
    const std::vector<Case> cases = {
        {Value(), "", 0.0, 0, 0},                 {Value(true), "True", -1.0, -1, -1},
        {Value(false), "False", 0.0, 0, 0},       {i32(40000), "40000", 40000.0, nullopt, 40000},
        {Value(2.0), "2", 2.0, 2, 2},             {Value(-0.0), "0", 0.0, 0, 0},
        {Value(0.1), "0.1", 0.1, 0, 0},           {Value(1e20), "1e+20", 1e20, nullopt, nullopt},
        {Value(2.5), "2.5", 2.5, 2, 2},           {Value(-3.5), "-3.5", -3.5, -4, -4},
        {Value(32767.5), "32767.5", 32767.5, nullopt, 32768},
        {Value(" 12 "), " 12 ", 12.0, 12, 12},    {Value("1.6"), "1.6", 1.6, 2, 2},
        {Value("x"), "x", nullopt, nullopt, nullopt}, {Value(""), "", nullopt, nullopt, nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::tuple(c.value.to_text(), c.value.to_number(), c.value.to_int16(), c.value.to_int32()),
                  std::tuple(c.text, c.number, c.as16, c.as32));
    EXPECT_EQ(Value(std::int64_t{1} << 40), Value(1099511627776.0));
}

TEST(ValueArithmetic, WidensInsteadOfWrappingTakesTextsAsNumbersAndRefusesOtherTexts) {
    struct Case { Value a; Value b; bool plus; std::optional<Value> expected; };
    const std::vector<Case> cases = {
        {i16(32767), i16(1), true, i32(32768)},       {i16(-32768), i16(1), false, i32(-32769)},
        {i32(2147483647), i16(1), true, Value(2147483648.0)},
        {i32(-2147483647 - 1), i16(1), false, Value(-2147483649.0)},
        {i32(5), i16(1), true, i32(6)},               {Value(), i16(10), false, i16(-10)},
        {Value(true), i16(1), true, i16(0)},          {Value("10"), i16(5), true, i16(15)},
        {Value(" 2.5 "), i16(1), true, Value(3.5)},   {Value("40000"), Value("1"), true, i32(40001)},
        {Value("abc"), i16(1), true, nullopt},        {i16(1), Value("1,5"), false, nullopt},
        {Value(1e308), Value(1e308), true, nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.plus ? add(c.a, c.b) : subtract(c.a, c.b), c.expected) << c.a.to_text() << " " << c.b.to_text();
    EXPECT_EQ(std::tuple(numerically_equal(Value("12"), i16(12)), numerically_equal(Value(), Value(0.0)),
                         numerically_equal(i16(1), i32(2)), numerically_equal(Value("x"), i16(1))),
              std::tuple(true, true, false, nullopt));
}

}  // namespace
