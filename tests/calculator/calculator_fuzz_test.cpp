// Random key sequences: whatever the user presses, the calculator neither crashes
// nor shows a text it cannot read back, and "C" always brings it home.

#include <gtest/gtest.h>

#include <random>

#include "calculator/calculator_engine.h"
#include "calculator/calculator_test_support.h"
#include "calculator/number_texts.h"

namespace {

using calculator::CalculatorEngine;

// The display texts that are deliberately not numbers.
bool is_known_non_number(const std::string& shown) {
    return shown == calculator::kErrorText || shown == "-" || shown.empty();
}

// The amount in a conversion line, without its currency prefix.
std::string amount_of(const std::string& label) {
    for (const std::string prefix : {"€ ", "L. "})
        if (label.starts_with(prefix)) return label.substr(prefix.size());
    return label;
}

TEST(CalculatorFuzz, RandomKeySequencesStayReadable) {
    const char* keys[] = {"0", "1", "2", "5", "9", ".", "+", "-", "X", "/", "=", "%", "C", "CE", "Euro", "Lire"};
    std::mt19937 random(4711);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(keys) - 1);
    std::uniform_int_distribution<int> length(1, 40);

    for (const auto& seps : {calculator_test::kItalian, calculator_test::kEnglish}) {
        const std::string initial = calculator::format(0, "0.", seps);
        for (int sequence = 0; sequence < 4000; ++sequence) {
            calculator_test::RecordingMessageBox messages;
            CalculatorEngine engine(seps, messages);
            engine.open();
            std::string typed;
            for (int n = length(random); n > 0; --n) {
                const std::string key = keys[pick(random)];
                typed += key + " ";
                calculator_test::press(engine, key);
                SCOPED_TRACE("keys: " + typed);

                const std::string& shown = engine.readout();
                if (key[0] >= '0' && key[0] <= '9') {
                    ASSERT_FALSE(shown.empty());
                }
                if (key == "C") {
                    ASSERT_EQ(shown, initial);
                    ASSERT_EQ(engine.label1(), initial);
                }
                ASSERT_TRUE(is_known_non_number(shown) || calculator::parse_number(shown, seps)) << shown;
                const std::string amount = amount_of(engine.label1());
                ASSERT_TRUE(amount.empty() || amount == "0." || calculator::parse_number(amount, seps)) << amount;
                ASSERT_LE(engine.operand_count(), 2);
            }
        }
    }
}

}  // namespace
