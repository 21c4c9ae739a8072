#include "platform/locale.h"

#include <langinfo.h>

namespace platform {

NumberSeparators user_number_separators() {
    NumberSeparators s;
    const char* radix = nl_langinfo(RADIXCHAR);
    const char* group = nl_langinfo(THOUSEP);
    if (radix && *radix) s.decimal = radix;
    // Locales such as C have no group separator; fall back to the one that does not
    // clash with the decimal separator.
    if (group && *group) s.group = group;
    else s.group = (s.decimal == ",") ? "." : ",";
    return s;
}

}  // namespace platform
