#pragma once
// The user's number separators, as the C library's locale gives them after
// setlocale(LC_ALL, ""), in UTF-8 whatever the locale's character set. Only the
// calculator's display uses them; the settings file always writes numbers with ".".

#include <string>

namespace platform {

struct NumberSeparators {
    std::string decimal = ".";
    std::string group = ",";
};

NumberSeparators user_number_separators();

}  // namespace platform
