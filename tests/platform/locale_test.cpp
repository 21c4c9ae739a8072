// The separators reach the calculator's labels as UTF-8, also from a locale whose
// character set is not UTF-8.

#include "platform/locale.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <cstdlib>
#include <optional>
#include <utility>
#include <string>

#include "support/files.h"

namespace {

using Separators = std::optional<std::pair<std::string, std::string>>;

// The decimal and group separators under locale `name`, the previous locale put back
// after; nothing when the locale cannot be set.
Separators separators_in(const char* name) {
    const std::string previous = ::setlocale(LC_ALL, nullptr);
    if (!::setlocale(LC_ALL, name)) return std::nullopt;
    const auto s = platform::user_number_separators();
    ::setlocale(LC_ALL, previous.c_str());
    return std::pair(s.decimal, s.group);
}

// The C locale has a point and a group that does not clash with it; Russian in KOI8-R
// groups digits with a no-break space, byte 0x9A in that set.
TEST(UserNumberSeparators, CLocaleGetsAGroupThatDoesNotClashAndANonUtf8LocaleGivesUtf8) {
    EXPECT_EQ(separators_in("C"), Separators({".", ","}));
    const TempFolder folder{"orvalis-locale"};
    const std::string build = "localedef -i ru_RU -f KOI8-R '" + (folder / "ru_RU.KOI8-R").string() + "' 2>/dev/null";
    if (std::system(build.c_str()) != 0) GTEST_SKIP() << "localedef or the locale sources (package locales) are missing";
    ::setenv("LOCPATH", folder.path().c_str(), 1);
    EXPECT_EQ(separators_in("ru_RU.KOI8-R"), Separators({",", "\u00A0"}));
    ::unsetenv("LOCPATH");
}

}  // namespace
