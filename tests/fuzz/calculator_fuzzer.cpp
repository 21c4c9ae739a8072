// The calculator engine fed key sequences, one key a byte, in Italian and in C
// separators: no key sequence crashes it or leaves an invalid display text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "calculator/calculator_engine.h"
#include "platform/text_encoding.h"

namespace {

struct SilentMessages : platform::MessageBox {
    void show(const std::string&, const std::string&, platform::MessageIcon) override {}
};

void press(calculator::CalculatorEngine& engine, std::uint8_t key) {
    static const char* const kOperators[] = {"+", "-", "X", "/", "="};
    switch (key % 20) {
    case 10: engine.point(); break;
    case 11: case 12: case 13: case 14: case 15: engine.operate(kOperators[key % 20 - 11]); break;
    case 16: engine.percent(); break;
    case 17: engine.clear(); break;
    case 18: engine.clear_entry(); break;
    case 19: key & 0x80 ? engine.to_lire() : engine.to_euro(); break;
    default: engine.digit(static_cast<char>('0' + key % 20)); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 256) return 0;
    SilentMessages messages;
    for (const platform::NumberSeparators& separators : {platform::NumberSeparators{",", "."}, platform::NumberSeparators{}}) {
        calculator::CalculatorEngine engine(separators, messages);
        engine.open();
        for (std::size_t i = 0; i < size; ++i) {
            // Now and then the window closes and opens again.
            if (data[i] == 0xFF) engine.open();
            else press(engine, data[i]);
            if (!platform::is_valid_utf8(engine.readout()) || !platform::is_valid_utf8(engine.label1())) std::abort();
        }
    }
    return 0;
}
