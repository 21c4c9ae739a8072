#pragma once
// Shared by the calculator's tests: a message box that records instead of showing,
// the separator pairs the tables run with, and typing a key sequence such as
// "200 X 10 % =" into an engine (a number token is typed digit by digit).

#include <sstream>
#include <string>
#include <vector>

#include "calculator/calculator_engine.h"
#include "platform/locale.h"
#include "platform/message_box.h"

namespace calculator_test {

struct RecordingMessageBox : platform::MessageBox {
    struct Shown {
        std::string text, title;
        platform::MessageIcon icon;
    };
    std::vector<Shown> shown;
    void show(const std::string& text, const std::string& title, platform::MessageIcon icon) override {
        shown.push_back({text, title, icon});
    }
};

inline const platform::NumberSeparators kItalian{",", "."};
inline const platform::NumberSeparators kEnglish{".", ","};
inline const platform::NumberSeparators kFrench{",", "\u202F"};  // narrow no-break space: several bytes
inline const platform::NumberSeparators kPairs[] = {kItalian, kEnglish, kFrench};

// An Italian-written expectation ("1.000.000", "0,5") in other separators.
inline std::string in_separators(const std::string& italian, const platform::NumberSeparators& s) {
    std::string out;
    for (char c : italian) {
        if (c == ',') out += s.decimal;
        else if (c == '.') out += s.group;
        else out += c;
    }
    return out;
}

inline void press(calculator::CalculatorEngine& engine, const std::string& keys) {
    std::istringstream in(keys);
    std::string key;
    while (in >> key) {
        if (key == ".") engine.point();
        else if (key == "%") engine.percent();
        else if (key == "C") engine.clear();
        else if (key == "CE") engine.clear_entry();
        else if (key == "Euro") engine.to_euro();
        else if (key == "Lire") engine.to_lire();
        else if (key[0] >= '0' && key[0] <= '9')
            for (char d : key) engine.digit(d);
        else engine.operate(key);
    }
}

}  // namespace calculator_test
