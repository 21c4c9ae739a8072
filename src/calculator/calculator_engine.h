#pragma once
// The pocket calculator behind "Euro Calcolatore K.Z.": its typing state, what each
// key does to it, and the two display texts (`Readout` and the conversion line
// the conversion line). No widgets: the window forwards clicks here and copies the two texts
// back. The division-by-zero message goes through the injected message box.
//
// The engine outlives its window: closing the window loses the display and the
// typing state (open() starts them afresh), but `Accumulator` and `Operand` stay.
// A failed reading or an overflow never throws: the calculator is initialised and
// shows "Errore", and the next digit starts a new number.

#include <string>
#include <string_view>

#include "calculator/euro_conversion.h"
#include "platform/locale.h"
#include "platform/message_box.h"
#include "value/value.h"

namespace calculator {

inline constexpr std::string_view kErrorText = "Errore";
inline constexpr std::string_view kDivideByZeroText = "Can't divide by zero";
inline constexpr std::string_view kDivideByZeroTitle = "Calculator";

class CalculatorEngine {
public:
    // The kind of the last input; only Nums and Neg change what keys do.
    enum class LastKey { None, Nums, Ops, Neg, Ce };

    CalculatorEngine(platform::NumberSeparators separators, platform::MessageBox& messages);

    // A new window: both display texts show their design caption "0.", then initialise.
    void open();
    void initialise();

    void digit(char digit);                 // '0'..'9'
    void point();                           // "."
    void operate(std::string_view symbol);  // "+", "-", "X", "/", "="
    void percent();                         // "%"
    void clear();                           // "C"
    void clear_entry();                     // "CE"
    void to_euro();                         // "Euro": the display taken as lire
    void to_lire();                         // "Lire": the display taken as euro

    const std::string& readout() const { return readout_; }
    const std::string& conversion_line() const { return conversion_line_; }

private:
    bool run_pending_operation();
    bool shows_number() const;
    void fail();
    using ConversionFn = std::optional<Conversion> (*)(std::string_view, const platform::NumberSeparators&);
    // "=" first, then the conversion into both display lines.
    void convert(ConversionFn conversion);

    platform::NumberSeparators separators_;
    platform::MessageBox& messages_;

    std::string readout_ = "0.";
    std::string conversion_line_ = "0.";
    Value accumulator_;
    Value operand_;
    bool point_entered_ = false;
    int operand_count_ = 0;  // 0, 1 or 2: never more, so a result is never lost
    LastKey last_key_ = LastKey::None;
    std::string pending_op_ = " ";
};

}  // namespace calculator
