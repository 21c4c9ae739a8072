#include "calculator/number_texts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "calculator/calculator_test_support.h"
#include "settings/value.h"

namespace {

using calculator::format;
using calculator::parse_number;
using calculator::text;
using calculator_test::in_separators;
using calculator_test::kPairs;

TEST(NumberTexts, FormatsByPattern) {
    struct Case {
        double value;
        const char* pattern;
        const char* italian;
    };
    const Case cases[] = {
        {0, "0.", "0,"},                      {0, ".", ","},
        {0, "-0.", "-0,"},                    {1936.27, "##,##0.00", "1.936,27"},
        {0, "##,##0.00", "0,00"},             {1000000, "##,##", "1.000.000"},
        {0, "##,##", ""},                     {0.4, "##,##", ""},
        {-0.4, "##,##", ""},                  {0.5, "##,##", "1"},  // halves away from zero
        {-1936.27, "##,##", "-1.936"},        {100, "##,##.00", "100,00"},
        {0.5, "##,##.00", ",50"},             {-1, "##,##.00", "-1,00"},
        {999.995, "##,##0.00", "1.000,00"},   {12.3, "0.0#", "12,3"},
        {1e23, "##,##", "100.000.000.000.000.000.000.000"},
        {1.005, "##,##0.00", "1,01"},  // the digits the display shows, not the binary value
    };
    for (const auto& seps : kPairs)
        for (const auto& c : cases)
            EXPECT_EQ(format(c.value, c.pattern, seps), in_separators(c.italian, seps)) << c.pattern << " " << c.value;
}

TEST(NumberTexts, WritesGeneralText) {
    const std::pair<double, const char*> cases[] = {
        {8, "8"},           {0.1, "0,1"},           {1.0 / 3, "0,333333333333333"}, {-2, "-2"},
        {-0.0, "0"},        {0.1 + 0.2, "0,3"},     {1234.5, "1234,5"},             {999999999999999, "999999999999999"},
        {1e15, "1E+15"},    {1.5e20, "1,5E+20"},    {0.0001, "0,0001"},             {0.00001, "1E-05"},
        {-1.5e-7, "-1,5E-07"}, {std::numeric_limits<double>::max(), "1,79769313486232E+308"},
    };
    for (const auto& seps : kPairs)
        for (const auto& [value, italian] : cases) EXPECT_EQ(text(value, seps), in_separators(italian, seps));
}

TEST(NumberTexts, ReadsDisplayTexts) {
    const std::pair<const char*, double> numbers[] = {
        {"5,", 5}, {"-0,", 0}, {"0,5", 0.5}, {"1.000.000", 1e6}, {",50", 0.5}, {"05,", 5}, {"1,5E+20", 1.5e20},
        {"1E-05", 1e-5}, {"-2", -2},
    };
    const char* not_numbers[] = {"", "-", ",", "-,", "Errore", ".5", "1..000", "1.", "5E", "1,2,3", " 5", "+5", "1e400"};
    for (const auto& seps : kPairs) {
        for (const auto& [italian, value] : numbers)
            EXPECT_EQ(parse_number(in_separators(italian, seps), seps), value) << italian;
        for (const char* italian : not_numbers)
            EXPECT_FALSE(parse_number(in_separators(italian, seps), seps)) << italian;
        EXPECT_FALSE(parse_number("1" + std::string(400, '0'), seps)) << "beyond the double range";
    }
    // Registers hold display texts, so they read in the user's separators, not with ".".
    EXPECT_EQ(calculator::number(Value("2,5"), calculator_test::kItalian), 2.5);
    EXPECT_EQ(calculator::number(Value(), calculator_test::kItalian), 0.0);
}

// Whatever the display is given, what it shows reads back as what it means.
TEST(NumberTexts, EveryWrittenTextReadsBack) {
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-320, 307);
    for (const auto& seps : kPairs)
        for (int i = 0; i < 20000; ++i) {
            const double x = mantissa(random) * std::pow(10.0, exponent(random));
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
