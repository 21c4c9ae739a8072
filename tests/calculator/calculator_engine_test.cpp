#include "calculator/calculator_engine.h"

#include <gtest/gtest.h>

#include "calculator/calculator_test_support.h"

namespace {

using calculator::CalculatorEngine;
using calculator_test::in_separators;
using calculator_test::press;
using calculator_test::RecordingMessageBox;

struct KeysCase {
    std::string keys;
    std::string display;  // written with Italian separators
};

// Each case starts from a freshly opened calculator, in each separator pair.
void expect_displays(const std::vector<KeysCase>& cases) {
    for (const auto& seps : calculator_test::kPairs)
        for (const auto& c : cases) {
            RecordingMessageBox messages;
            CalculatorEngine engine(seps, messages);
            engine.open();
            press(engine, c.keys);
            EXPECT_EQ(engine.readout(), in_separators(c.display, seps))
                << "keys \"" << c.keys.substr(0, 40) << "\" with decimal \"" << seps.decimal << "\"";
        }
}

TEST(CalculatorEngine, KeySequences) {
    expect_displays({
        {"", "0,"},                          {"5 + 3 =", "8"},
        {"1 / 3 =", "0,333333333333333"},    {"0 5", "05,"},
        {". 5", "0,5"},                      {"5 . . 2", "5,2"},
        {"-", "-0,"},                        {"- 5 + 3 =", "-2"},
        {"- . 5", "-0,5"},                   {"7 + -", "-"},
        {"7 + - 2", "-2,"},                  {"7 + - 2 =", "5"},
        {"5 + 3 = - 2 =", "6"},              {"5 + 3 = 4 + 1 =", "5"},
        {"5 + 3 = = =", "8"},                {"5 + 3 +", "8"},
        {"5 + 3 + 2 =", "10"},               {"5 + X 3 =", "15"},
        {"0 . 1 + 0 . 2 =", "0,3"},          {"200 X 10 %", "0,1"},
        {"200 X 10 % =", "20"},              {"200 + 10 % =", "20"},
        {"5 X 2 % % 3 + 4 =", "19"},         {"200 X 10 % 5 =", "1000"},  // the count stops at 2
        {"5 + 3 CE 4 =", "9"},               {"5 + CE + 2 =", "2"},
        {"1000000 Euro + 5 =", "1000005"},   {"8 / 0 =", "8,"},
        {"8 / - 0 0 . =", "8,"},             {"8 / 0 = + 2 =", "10"},
    });
}

TEST(CalculatorEngine, DivisionByZeroWarns) {
    RecordingMessageBox messages;
    CalculatorEngine engine(calculator_test::kItalian, messages);
    engine.open();
    press(engine, "8 / 0 =");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Can't divide by zero");
    EXPECT_EQ(messages.shown[0].title, "Calculator");
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Exclamation);
}

TEST(CalculatorEngine, Conversions) {
    struct Case {
        const char* keys;
        const char* amount;  // `Label1` after its currency prefix
        const char* display;
    };
    const Case cases[] = {
        {"1000000 Euro", "516,46", "1.000.000"}, {"10000 Euro", "5,16", "10.000"},
        {"150 Euro", "0,08", "150"},             {"1936 . 27 Euro", "1,00", "1.936"},
        {"100 + 50 Euro", "0,08", "150"},        {"0 Euro", "0,00", ""},
        {"100 Lire", "193.627", "100,00"},       {"1 Lire", "1.936", "1,00"},
        {"150 Lire", "290.440", "150,00"},       {"0 . 5 Lire", "968", ",50"},
        {"- 1 Lire", "-1.936", "-1,00"},         {"0 Lire", "", ",00"},
    };
    for (const auto& seps : calculator_test::kPairs)
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.keys) + " with decimal \"" + seps.decimal + "\"");
            RecordingMessageBox messages;
            CalculatorEngine engine(seps, messages);
            engine.open();
            press(engine, c.keys);
            const std::string prefix = std::string(c.keys).ends_with("Euro") ? "€ " : "L. ";
            EXPECT_EQ(engine.label1(), prefix + in_separators(c.amount, seps));
            EXPECT_EQ(engine.readout(), in_separators(c.display, seps));
        }
}

// Reopening the window starts the display and typing afresh; the registers stay.
TEST(CalculatorEngine, RegistersOutliveTheWindow) {
    RecordingMessageBox messages;
    CalculatorEngine engine(calculator_test::kItalian, messages);
    engine.open();
    EXPECT_EQ(engine.label1(), "0.");  // the design caption until "C", "CE" or a conversion
    press(engine, "5 + 3 = 2");
    engine.open();
    EXPECT_EQ(engine.readout(), "0,");
    EXPECT_EQ(engine.operand_count(), 0);
    EXPECT_EQ(engine.accumulator(), Value(8.0));
    EXPECT_EQ(engine.operand(), Value("3,"));
    press(engine, "C");
    EXPECT_EQ(engine.label1(), "0,");
    EXPECT_EQ(engine.accumulator(), Value(0.0));
}

TEST(CalculatorEngine, FailuresShowErroreAndRecover) {
    const std::string too_long = "1" + std::string(400, '0');
    const std::string huge = std::string(200, '9');
    expect_displays({
        {"7 + - - 2 =", "Errore"},  // the second "-" took the lone "-" as first operand
        {"7 + - %", "Errore"},
        {"0 Euro Euro", "Errore"},  // "Euro" left an empty display
        {"0 . 4 Euro Lire", "Errore"},
        {too_long + " + 1 =", "Errore"},
        {huge + " X " + huge + " =", "Errore"},
        {too_long + " Euro", "Errore"},
        {"7 + - - 2 = 5", "5,"},
        {"7 + - - 2 = - 3 + 1 =", "-2"},
        {"7 + - - 2 = + 4 + 1 =", "5"},
        {"7 + - - 2 = C", "0,"},
    });

    // Initialise leaves the registers as the failed command found them.
    RecordingMessageBox messages;
    CalculatorEngine engine(calculator_test::kItalian, messages);
    engine.open();
    press(engine, "7 + - - 2 =");
    EXPECT_EQ(engine.accumulator(), Value("-"));
    EXPECT_EQ(engine.operand(), Value("-2,"));
    EXPECT_EQ(engine.pending_op(), " ");
}

}  // namespace
