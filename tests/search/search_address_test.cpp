#include "search/search_address.h"

#include <gtest/gtest.h>

namespace {

// The query is one value: nothing in it may end it or start another, nor be decoded twice.
TEST(SearchAddress, QueryIsOnePercentEncodedValue) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"sale & pepe", "sale%20%26%20pepe"},
        {"C# chi?", "C%23%20chi%3F"},
        {"perché città", "perch%C3%A9%20citt%C3%A0"},
        {"100%+a=b/-._~", "100%25%2Ba%3Db%2F-._~"},
    };
    for (const auto& [query, encoded] : cases)
        EXPECT_EQ(search_address(query),
                  std::string("http://cerca.example.org/cgi-bin/ricerca/meta.pl?query=") + encoded + "&modlist=web");
}

}  // namespace
