#include "search/search_address.h"

#include <glibmm/uriutils.h>
#include <glibmm/ustring.h>
#include <gtest/gtest.h>

#include <random>

#include "search/percent_encoding.h"

namespace {

const std::string kPrefix = "http://cerca.example.org/cgi-bin/ricerca/meta.pl?query=";
const std::string kSuffix = "&modlist=web";

const std::pair<const char*, const char*> kQueries[] = {
    {"abc", "abc"},
    {"", ""},
    {"vino rosso", "vino%20rosso"},
    {"sale & pepe", "sale%20%26%20pepe"},
    {"C#", "C%23"},
    {"chi? dove?", "chi%3F%20dove%3F"},
    {"perché città", "perch%C3%A9%20citt%C3%A0"},
    {"100%", "100%25"},
    {"a+b=c/d", "a%2Bb%3Dc%2Fd"},
    {"query=x&modlist=img", "query%3Dx%26modlist%3Dimg"},
    {"-._~", "-._~"},
    {"€", "%E2%82%AC"},
};

TEST(SearchAddress, QueryIsOneEncodedValue) {
    for (const auto& [query, encoded] : kQueries)
        EXPECT_EQ(search_address(query), kPrefix + encoded + kSuffix) << query;
}

// GLib's escaping without reserved exceptions is the reference for a URI component.
TEST(SearchAddress, EncodingAgreesWithGlib) {
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> length(0, 12);
    std::uniform_int_distribution<gunichar> ascii(0x01, 0x7F), wide(0xA0, 0x2FFF);
    std::vector<std::string> samples;
    for (const auto& [query, encoded] : kQueries) samples.emplace_back(query);
    for (int i = 0; i < 2000; ++i) {
        Glib::ustring s;
        for (int n = length(random); n > 0; --n) s += (random() % 3) ? ascii(random) : wide(random);
        samples.push_back(s.raw());
    }
    for (const auto& s : samples) EXPECT_EQ(percent_encode(s), Glib::uri_escape_string(s, "", false)) << s;
}

}  // namespace
