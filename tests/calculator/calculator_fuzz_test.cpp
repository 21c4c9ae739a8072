// Random key sequences: whatever the user presses, the calculator neither crashes
// nor shows a text it cannot read back, and "C" always brings it home.

#include <gtest/gtest.h>

#include <random>

#include "calculator/calculator_engine.h"
#include "calculator/calculator_test_support.h"
#include "calculator/number_texts.h"

namespace {

// The display texts that are deliberately not numbers: a failure, a pending sign,
// and "Euro" of less than half a lira.
bool readable(const std::string& shown, const platform::NumberSeparators& seps) {
    return shown == calculator::kErrorText || shown == "-" || shown.empty() ||
           calculator::parse_number(shown, seps).has_value();
}

TEST(CalculatorFuzz, RandomKeySequencesStayReadable) {
    const std::string keys[] = {"0", "1", "2", "5", "9", ".", "+", "-", "X", "/", "=", "%", "C", "CE", "Euro", "Lire"};
    std::mt19937 random(4711);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(keys) - 1);
    std::uniform_int_distribution<int> length(1, 40);

    for (const auto& seps : {calculator_test::kItalian, calculator_test::kEnglish}) {
        const std::string initial = calculator::format(0, "0.", seps);
        for (int sequence = 0; sequence < 4000; ++sequence) {
            calculator_test::RecordingMessageBox messages;
            calculator::CalculatorEngine engine(seps, messages);
            engine.open();
            std::string typed;
            for (int n = length(random); n > 0; --n) {
                const std::string& key = keys[pick(random)];
                typed += key + " ";
                calculator_test::press(engine, key);
                SCOPED_TRACE("keys: " + typed);
                if (key[0] >= '0' && key[0] <= '9') {
                    ASSERT_FALSE(engine.readout().empty());
                }
                if (key == "C") {
                    ASSERT_EQ(engine.readout(), initial);
                }
                ASSERT_TRUE(readable(engine.readout(), seps)) << engine.readout();
                const auto amount = engine.label1().substr(engine.label1().find(' ') + 1);  // after "€ " or "L. "
                ASSERT_TRUE(amount == "0." || readable(amount, seps)) << engine.label1();
                ASSERT_LE(engine.operand_count(), 2);
            }
        }
    }
}

}  // namespace
