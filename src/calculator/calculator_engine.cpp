#include "calculator/calculator_engine.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "calculator/euro_conversion.h"
#include "calculator/number_texts.h"

namespace calculator {

CalculatorEngine::CalculatorEngine(platform::NumberSeparators separators, platform::MessageBox& messages)
    : separators_(std::move(separators)), messages_(messages) {}

void CalculatorEngine::open() {
    readout_ = "0.";
    conversion_line_ = "0.";
    initialise();
}

void CalculatorEngine::initialise() {
    point_entered_ = false;
    operand_count_ = 0;
    last_key_ = LastKey::None;
    pending_op_ = " ";
    readout_ = format(0, "0.", separators_);
}

void CalculatorEngine::digit(char digit) {
    if (last_key_ != LastKey::Nums) {
        readout_ = format(0, ".", separators_);
        point_entered_ = false;
    }
    if (point_entered_) {
        readout_ += digit;
    } else {
        // Integer digits grow in front of the trailing decimal separator.
        readout_ = readout_.substr(0, readout_.find(separators_.decimal)) + digit + separators_.decimal;
    }
    if (last_key_ == LastKey::Neg) readout_.insert(0, "-");
    last_key_ = LastKey::Nums;
}

void CalculatorEngine::point() {
    if (last_key_ == LastKey::Neg)
        readout_ = format(0, "-0.", separators_);
    else if (last_key_ != LastKey::Nums)
        readout_ = format(0, "0.", separators_);
    point_entered_ = true;
    last_key_ = LastKey::Nums;
}

void CalculatorEngine::operate(std::string_view symbol) {
    const std::string typed = readout_;
    if (last_key_ == LastKey::Nums) operand_count_ = std::min(operand_count_ + 1, 2);

    switch (operand_count_) {
    case 0:
        // A minus before the first number is its sign.
        if (symbol == "-" && last_key_ != LastKey::Neg) {
            if (!shows_number()) readout_ = format(0, "0.", separators_);
            readout_.insert(0, "-");
            last_key_ = LastKey::Neg;
        }
        break;
    case 1:
        accumulator_ = Value(typed);
        // Right after an operator a minus is the second number's sign; after "=" it subtracts.
        if (symbol == "-" && last_key_ != LastKey::Nums && pending_op_ != "=") {
            readout_ = "-";
            last_key_ = LastKey::Neg;
        }
        break;
    case 2:
        operand_ = Value(typed);
        if (!run_pending_operation()) return fail();
        if (accumulator_.is_text()) {
            readout_ = accumulator_.to_text();
        } else {
            const auto shown = number(accumulator_, separators_);
            if (!shown) return fail();
            readout_ = text(*shown, separators_);
        }
        operand_count_ = 1;
        break;
    }

    if (last_key_ != LastKey::Neg) {
        last_key_ = LastKey::Ops;
        pending_op_ = std::string(symbol);
    }
}

// Applies `PendingOp` to `Accumulator` and `Operand`; false when a register does not
// read as a number or the result is not a finite double.
bool CalculatorEngine::run_pending_operation() {
    const auto b = number(operand_, separators_);
    if (!b) return false;
    if (pending_op_ == "=") {
        accumulator_ = Value(*b);
        return true;
    }
    if (pending_op_ != "+" && pending_op_ != "-" && pending_op_ != "X" && pending_op_ != "/" && pending_op_ != "%")
        return true;
    if (pending_op_ == "/" && *b == 0) {
        messages_.show(std::string(kDivideByZeroText), std::string(kDivideByZeroTitle),
                       platform::MessageIcon::Exclamation);
        return true;
    }
    const auto a = number(accumulator_, separators_);
    if (!a) return false;
    double result = 0;
    if (pending_op_ == "+") result = *a + *b;
    else if (pending_op_ == "-") result = *a - *b;
    else if (pending_op_ == "/") result = *a / *b;
    else result = *a * *b;  // "X", and "%" whose operand is already a hundredth
    if (!std::isfinite(result)) return false;
    accumulator_ = Value(result);
    return true;
}

void CalculatorEngine::percent() {
    const auto shown = parse_number(readout_, separators_);
    if (!shown) return fail();
    readout_ = text(*shown / 100, separators_);
    last_key_ = LastKey::Ops;
    pending_op_ = "%";
    operand_count_ = std::min(operand_count_ + 1, 2);
}

void CalculatorEngine::clear() {
    readout_ = conversion_line_ = format(0, "0.", separators_);
    accumulator_ = Value(0.0);
    operand_ = Value(0.0);
    initialise();
}

void CalculatorEngine::clear_entry() {
    readout_ = conversion_line_ = format(0, "0.", separators_);
    point_entered_ = false;
    last_key_ = LastKey::Ce;
}

void CalculatorEngine::to_euro() { convert(lire_to_euro); }

void CalculatorEngine::to_lire() { convert(euro_to_lire); }

void CalculatorEngine::convert(ConversionFn conversion) {
    operate("=");
    const auto converted = conversion(readout_, separators_);
    if (!converted) return fail();
    readout_ = converted->readout;
    conversion_line_ = converted->label;
}

bool CalculatorEngine::shows_number() const { return parse_number(readout_, separators_).has_value(); }

void CalculatorEngine::fail() {
    initialise();
    readout_ = std::string(kErrorText);
}

}  // namespace calculator
