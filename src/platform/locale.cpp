#include "platform/locale.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <string_view>

namespace platform {
namespace {

// The numeric locale's texts are in that locale's own character set, which may be
// Latin-1 or KOI8-R rather than UTF-8; GTK takes only UTF-8.
std::string to_utf8(std::string_view text, const char* codeset) {
    if (text.empty()) return {};
    iconv_t converter = ::iconv_open("UTF-8", codeset);
    if (converter == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out(text.size() * 4, '\0');
    char* in_ptr = const_cast<char*>(text.data());
    std::size_t in_left = text.size();
    char* out_ptr = out.data();
    std::size_t out_left = out.size();
    const bool converted = ::iconv(converter, &in_ptr, &in_left, &out_ptr, &out_left) != static_cast<std::size_t>(-1) &&
                           in_left == 0;
    ::iconv_close(converter);
    if (!converted) return {};
    out.resize(out.size() - out_left);
    return out;
}

}  // namespace

NumberSeparators user_number_separators() {
    NumberSeparators s;
    // The separators follow LC_NUMERIC, their character set that locale's LC_CTYPE.
    const locale_t numeric = ::newlocale(LC_CTYPE_MASK | LC_NUMERIC_MASK, ::setlocale(LC_NUMERIC, nullptr), nullptr);
    if (!numeric) return s;
    const char* codeset = ::nl_langinfo_l(CODESET, numeric);
    const std::string radix = to_utf8(::nl_langinfo_l(RADIXCHAR, numeric), codeset);
    const std::string group = to_utf8(::nl_langinfo_l(THOUSEP, numeric), codeset);
    ::freelocale(numeric);
    if (!radix.empty()) s.decimal = radix;
    // Locales such as C have no group separator; fall back to the one that does not
    // clash with the decimal separator.
    if (!group.empty()) s.group = group;
    else if (s.decimal == ",") s.group = std::string(1, '.');
    return s;
}

}  // namespace platform
