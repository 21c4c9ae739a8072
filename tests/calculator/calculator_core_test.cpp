// The calculator's engine and number texts, in Italian separators and in Swiss ones
// (the decimal point swapped, a group mark of several bytes).

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>

#include "calculator/calculator_engine.h"
#include "calculator/number_texts.h"
#include "support/fakes.h"

namespace {

using calculator::CalculatorEngine;
using platform::NumberSeparators;

const NumberSeparators kItalian{",", "."};
const NumberSeparators kPairs[] = {kItalian, {".", "\u2019"}};

// An Italian-written text ("1.000.000", "0,5") in other separators.
std::string in_separators(const std::string& italian, const NumberSeparators& s) {
    std::string out;
    for (char c : italian) out += c == ',' ? s.decimal : c == '.' ? s.group : std::string(1, c);
    return out;
}

// Keys such as "200 X 10 % =", a number typed digit by digit.
void press(CalculatorEngine& engine, const std::string& keys) {
    using E = CalculatorEngine;
    static const std::map<std::string, void (E::*)()> named = {
        {".", &E::point}, {"%", &E::percent}, {"C", &E::clear}, {"CE", &E::clear_entry}, {"Euro", &E::to_euro},
        {"Lire", &E::to_lire}};
    std::istringstream in(keys);
    for (std::string key; in >> key;)
        if (named.contains(key)) (engine.*named.at(key))();
        else if (key[0] >= '0' && key[0] <= '9') for (char d : key) engine.digit(d);
        else engine.operate(key);
}

struct Typed {  // a freshly opened calculator after the keys
    FakeMessages messages;
    CalculatorEngine engine;
    Typed(const NumberSeparators& seps, const std::string& keys) : engine(seps, messages) {
        engine.open();
        press(engine, keys);
    }
};

TEST(CalculatorEngine, KeySequencesShowTheirDisplay) {
    const std::string too_long = "1" + std::string(400, '0'), huge(200, '9');
    const std::pair<std::string, const char*> cases[] = {  // the display in Italian separators
        {"5 + 3 =", "8"}, {"1 / 3 =", "0,333333333333333"}, {"0 . 1 + 0 . 2 =", "0,3"}, {"0 5", "05,"},
        {". 5", "0,5"}, {"5 . . 2", "5,2"}, {"- 5 + 3 =", "-2"}, {"7 + -", "-"}, {"7 + - 2 =", "5"},
        {"5 + 3 = - 2 =", "6"}, {"5 + 3 = 4 + 1 =", "5"}, {"5 + 3 + 2 =", "10"}, {"5 + X 3 =", "15"},
        {"200 X 10 %", "0,1"}, {"200 X 10 % =", "20"}, {"200 + 10 % =", "20"}, {"5 + 3 CE 4 =", "9"},
        {"5 + CE + 2 =", "2"}, {"5 X 2 % % 3 + 4 =", "19"}, {"200 X 10 % 5 =", "1000"},  // two operands at most
        {"1000000 Euro + 5 =", "1000005"}, {"8 / 0 =", "8,"}, {"8 / - 0 0 . =", "8,"}, {"8 / 0 = + 2 =", "10"},
        // A failure shows "Errore"; the next digit starts a new number and "C" clears.
        {"7 + - - 2 =", "Errore"}, {"0 Euro Euro", "Errore"}, {too_long + " + 1 =", "Errore"},
        {huge + " X " + huge + " =", "Errore"}, {"7 + - - 2 = 5", "5,"}, {"7 + - - 2 = C", "0,"},
    };
    for (const auto& seps : kPairs)
        for (const auto& [keys, display] : cases)
            EXPECT_EQ(Typed(seps, keys).engine.readout(), in_separators(display, seps)) << keys.substr(0, 40);
    EXPECT_EQ(Typed(kItalian, "8 / 0 =").messages.shown, std::vector<std::string>{"Calculator (!) Can't divide by zero"});
}

TEST(CalculatorEngine, EuroAndLireConvert) {
    struct Case { const char *keys, *amount, *display; };  // amount: the conversion line after its currency
    const Case cases[] = {
        {"1000000 Euro", "516,46", "1.000.000"}, {"150 Euro", "0,08", "150"}, {"100 + 50 Euro", "0,08", "150"},
        {"1936 . 27 Euro", "1,00", "1.936"}, {"0 Euro", "0,00", ""}, {"150 Lire", "290.440", "150,00"},
        {"0 . 5 Lire", "968", ",50"}, {"- 1 Lire", "-1.936", "-1,00"}, {"0 Lire", "", ",00"},
    };
    for (const auto& seps : kPairs)
        for (const auto& c : cases) {
            const Typed t(seps, c.keys);
            const std::string currency = std::string(c.keys).ends_with("Euro") ? "€ " : "L. ";
            EXPECT_EQ(t.engine.conversion_line(), currency + in_separators(c.amount, seps)) << c.keys;
            EXPECT_EQ(t.engine.readout(), in_separators(c.display, seps)) << c.keys;
        }
}

TEST(NumberTexts, WritesAsTheDisplayShowsAndRejectsNonNumbers) {
    const std::tuple<double, const char*, const char*> cases[] = {  // no pattern: the general text
        {1936.27, "##,##0.00", "1.936,27"}, {0.5, "##,##", "1"}, {-0.4, "##,##", ""}, {0.5, "##,##.00", ",50"},
        {999.995, "##,##0.00", "1.000,00"}, {1.005, "##,##0.00", "1,01"}, {-0.0, "", "0"}, {1e15, "", "1E+15"},
        {0.00001, "", "1E-05"}, {-1.5e-7, "", "-1,5E-07"},
    };
    for (const auto& seps : kPairs) {
        for (const auto& [value, pattern, italian] : cases)
            EXPECT_EQ(*pattern ? calculator::format(value, pattern, seps) : calculator::text(value, seps),
                      in_separators(italian, seps)) << pattern << " " << value;
        for (const char* italian : {"", "-", ",", "Errore", ".5", "1..000", "1.", "5E", "1,2,3", " 5", "1E+400"})
            EXPECT_FALSE(calculator::parse_number(in_separators(italian, seps), seps)) << italian;
    }
}

// Whatever the user presses: no crash, a readable display, "C" always brings it home.
TEST(CalculatorFuzz, RandomKeySequencesStayReadable) {
    const std::string keys[] = {"0", "1", "5", "9", ".", "+", "-", "X", "/", "=", "%", "C", "CE", "Euro", "Lire"};
    std::mt19937 random(4711);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(keys) - 1);
    std::uniform_int_distribution<int> length(1, 40);
    for (const auto& seps : kPairs)
        for (int sequence = 0; sequence < 4000; ++sequence) {
            Typed t(seps, "");
            std::string typed;
            for (int n = length(random); n > 0; --n) {
                const std::string& key = keys[pick(random)];
                press(t.engine, key);
                typed += key + " ";
                const std::string& shown = t.engine.readout();
                ASSERT_TRUE(shown == "Errore" || shown == "-" || shown.empty() || calculator::parse_number(shown, seps))
                    << typed << "-> " << shown;  // a pending sign; "Euro" under half a lira
                ASSERT_FALSE(key[0] >= '0' && key[0] <= '9' && shown.empty()) << typed;
                ASSERT_TRUE(key != "C" || shown == in_separators("0,", seps)) << typed << "-> " << shown;
            }
        }
}

}  // namespace
