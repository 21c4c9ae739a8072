// The separators reach the calculator's labels as UTF-8, also from a locale whose
// character set is not UTF-8.

#include "platform/locale.h"

#include <gtest/gtest.h>
#include <locale.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "support/files.h"

namespace {

// Sets a locale for one test and puts the previous one back.
struct ScopedLocale {
    explicit ScopedLocale(const char* name) : previous(::setlocale(LC_ALL, nullptr)), set(::setlocale(LC_ALL, name)) {}
    ~ScopedLocale() { ::setlocale(LC_ALL, previous.c_str()); }
    std::string previous;
    bool set;
};

TEST(UserNumberSeparators, CLocaleHasAPointAndAGroupThatDoesNotClash) {
    ScopedLocale c("C");
    const auto s = platform::user_number_separators();
    EXPECT_EQ(s.decimal, ".");
    EXPECT_EQ(s.group, ",");
}

// Russian in KOI8-R groups digits with a no-break space, byte 0x9A in that set.
TEST(UserNumberSeparators, ANonUtf8LocaleGivesItsSeparatorsInUtf8) {
    const TempFolder folder{"orvalis-locale"};
    const std::string build = "localedef -i ru_RU -f KOI8-R '" + (folder / "ru_RU.KOI8-R").string() + "' 2>/dev/null";
    if (std::system(build.c_str()) != 0) GTEST_SKIP() << "localedef or the locale sources (package locales) are missing";
    ::setenv("LOCPATH", folder.path().c_str(), 1);
    {
        ScopedLocale russian("ru_RU.KOI8-R");
        ASSERT_TRUE(russian.set);
        const auto s = platform::user_number_separators();
        EXPECT_EQ(s.decimal, ",");
        EXPECT_EQ(s.group, "\u00A0");
    }
    ::unsetenv("LOCPATH");
}

}  // namespace
