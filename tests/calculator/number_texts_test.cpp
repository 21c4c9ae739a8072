#include "calculator/number_texts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "calculator/calculator_test_support.h"

namespace {

using calculator::format;
using calculator::number;
using calculator::parse_number;
using calculator::text;
using calculator_test::in_separators;

const platform::NumberSeparators kPairs[] = {calculator_test::kItalian, calculator_test::kEnglish,
                                             calculator_test::kFrench};

struct FormatCase {
    double value;
    const char* pattern;
    const char* italian;
};

TEST(NumberTexts, FormatsByPattern) {
    const FormatCase cases[] = {
        {0, "0.", "0,"},
        {0, ".", ","},
        {0, "-0.", "-0,"},
        {1936.27, "##,##0.00", "1.936,27"},
        {0, "##,##0.00", "0,00"},
        {1000000, "##,##", "1.000.000"},
        {123456789, "##,##", "123.456.789"},
        {0, "##,##", ""},
        {0.4, "##,##", ""},
        {-0.4, "##,##", ""},  // no sign on a zero
        {0.5, "##,##", "1"},  // halves away from zero
        {-1936.27, "##,##", "-1.936"},
        {100, "##,##.00", "100,00"},
        {0.5, "##,##.00", ",50"},
        {-1, "##,##.00", "-1,00"},
        {1.005, "##,##0.00", "1,01"},  // rounds the digits the display shows, not the binary value
        {999.995, "##,##0.00", "1.000,00"},
        {0.999, "##,##", "1"},
        {1e23, "##,##", "100.000.000.000.000.000.000.000"},
        {12.3, "0.0#", "12,3"},
        {12.345, "0.0#", "12,35"},
        {7, "€ 0", "€ 7"},
    };
    for (const auto& seps : kPairs)
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.pattern) + " of " + std::to_string(c.value));
            std::string expected = in_separators(c.italian, seps);
            if (std::string(c.pattern).starts_with("€")) expected = c.italian;
            EXPECT_EQ(format(c.value, c.pattern, seps), expected);
        }
}

TEST(NumberTexts, WritesGeneralText) {
    const std::pair<double, const char*> cases[] = {
        {8, "8"},
        {0.1, "0,1"},
        {1.0 / 3, "0,333333333333333"},
        {-2, "-2"},
        {-0.0, "0"},
        {0.1 + 0.2, "0,3"},
        {1234.5, "1234,5"},
        {999999999999999, "999999999999999"},
        {1e15, "1E+15"},
        {1.5e20, "1,5E+20"},
        {0.0001, "0,0001"},
        {0.00001, "1E-05"},
        {-1.5e-7, "-1,5E-07"},
        {1.25e-300, "1,25E-300"},
        {std::numeric_limits<double>::max(), "1,79769313486232E+308"},
    };
    for (const auto& seps : kPairs)
        for (const auto& [value, italian] : cases) EXPECT_EQ(text(value, seps), in_separators(italian, seps));
}

TEST(NumberTexts, ReadsDisplayTexts) {
    const std::pair<const char*, double> numbers[] = {
        {"5,", 5},      {"-0,", 0},          {"0,5", 0.5},       {"1.000.000", 1e6}, {",50", 0.5},
        {"05,", 5},     {"1,5E+20", 1.5e20}, {"1E-05", 1e-5},    {"-2", -2},         {"12,345", 12.345},
        {"0,333333333333333", 0.333333333333333},
    };
    const char* not_numbers[] = {"",     "-",     ",",    "-,",    "Errore", ".5",  "1..000", "1.",
                                 "5E",   "5E+",   "1,2,3", "5 ",  " 5",     "+5",  "1e400",  "--5"};
    for (const auto& seps : kPairs) {
        for (const auto& [italian, value] : numbers) {
            const auto read = parse_number(in_separators(italian, seps), seps);
            ASSERT_TRUE(read) << italian;
            EXPECT_DOUBLE_EQ(*read, value) << italian;
        }
        for (const char* italian : not_numbers) EXPECT_FALSE(parse_number(in_separators(italian, seps), seps)) << italian;
        EXPECT_FALSE(parse_number("1" + std::string(400, '0'), seps)) << "beyond the double range";
    }
}

TEST(NumberTexts, ReadsRegisters) {
    const auto& it = calculator_test::kItalian;
    EXPECT_EQ(number(Value(), it), 0.0);
    EXPECT_EQ(number(Value(2.5), it), 2.5);
    EXPECT_EQ(number(Value("2,5"), it), 2.5);  // texts in the user's separators, not "."
    EXPECT_FALSE(number(Value("-"), it));
}

// Whatever the display is given, what it shows reads back as what it means.
TEST(NumberTexts, EveryWrittenTextReadsBack) {
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-320, 307);
    for (const auto& seps : kPairs)
        for (int i = 0; i < 20000; ++i) {
            const double x = mantissa(random) * std::pow(10.0, exponent(random));
            if (!std::isfinite(x)) continue;
            const std::string general = text(x, seps);
            const auto read = parse_number(general, seps);
            ASSERT_TRUE(read) << general;
            EXPECT_EQ(text(*read, seps), general);
            for (const char* pattern : {"0.", "##,##0.00", "##,##.00", "##,##"}) {
                const std::string written = format(x, pattern, seps);
                if (written.empty()) continue;  // "##,##" of an amount under a half
                const auto back = parse_number(written, seps);
                ASSERT_TRUE(back) << written;
                EXPECT_EQ(format(*back, pattern, seps), written);
            }
        }
}

}  // namespace
