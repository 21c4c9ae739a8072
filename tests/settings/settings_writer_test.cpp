#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/settings_reader.h"
#include "settings/settings_writer.h"

namespace {

Value i16(int v) { return Value(static_cast<std::int16_t>(v)); }

std::vector<Value> read_back(const std::string& bytes) {
    std::size_t at = 0;
    const auto read = settings::read_fields([&](char* buffer, std::size_t capacity) {
        const std::size_t n = std::min(capacity, bytes.size() - at);
        std::memcpy(buffer, bytes.data() + at, n);
        at += n;
        return static_cast<std::ptrdiff_t>(n);
    });
    std::vector<Value> values;
    for (const auto& field : read.fields) values.push_back(field.value);
    return values;
}

TEST(SettingsWriter, WritesEachValueOnItsLine) {
    struct Case { Value value; std::string line; };
    const std::vector<Case> cases = {
        {Value(), ""},                 {i16(1), " 1 "},              {i16(-5), "-5 "},
        {i16(0), " 0 "},               {Value(std::int32_t{70000}), " 70000 "},
        {Value(2.5), " 2.5 "},         {Value(-0.25), "-0.25 "},     {Value(true), "True"},
        {Value(""), ""},               {Value("abc"), "abc"},        {Value("12"), "12"},
        {Value("-5"), "-5"},           {Value("a,b"), "\"a,b\""},    {Value(" x"), "\" x\""},
        {Value("x\t"), "\"x\t\""},     {Value("007"), "\"007\""},    {Value("1e5"), "\"1e5\""},
        {Value("+1"), "\"+1\""},       {Value("ab\"c\""), "ab\"c\""},
        {Value("\"abc"), "\"'abc\""},  {Value("a,\"b\""), "\"a,'b'\""},
        {Value("a\r\nb"), "a b"},      {Value("a\nb\n"), "\"a b \""},
        {Value(std::string("a\0b", 3)), "ab"}, {Value("caff\xE8"), "caff\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.to_text());
        EXPECT_EQ(settings::settings_line(c.value), c.line);
    }
}

TEST(SettingsWriter, TextsAndNumbersReadBackUnchanged) {
    const std::vector<Value> values = {
        "http://example.org/a?x=1,2",  "caffè €",  "  ",     "\t",    ",",   "True",
        "0.5",                         "-0",       "1.0",    " 12 ",  "",    "12",
        "ab\"c\"",                     i16(32767), Value(std::int32_t{-70000}),
        Value(0.1),                    Value(1e20), Value(-2.5e-7), Value(123456789.125), Value(),
    };
    const std::vector<Value> back = read_back(settings::settings_file_content(values));
    // Only 17 fields are ever read: check the rest in a second file.
    std::vector<Value> rest(values.begin() + 17, values.end());
    std::vector<Value> all = back;
    for (const Value& v : read_back(settings::settings_file_content(rest))) all.push_back(v);
    ASSERT_EQ(all.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(values[i].to_text());
        EXPECT_EQ(all[i].to_text(), values[i].to_text());
        if (values[i].is_numeric_kind()) {
            EXPECT_TRUE(all[i].is_numeric_kind());
        }
    }
}

TEST(SettingsWriter, TextsThatCannotSurviveNeverShiftTheLinesAfterThem) {
    for (const char* lossy : {"\"a,b\"", "\"", "\"\"", "a\"b,c", "x\ny,\"z"}) {
        SCOPED_TRACE(lossy);
        const auto back = read_back(settings::settings_file_content({Value(lossy), Value("after"), i16(1)}));
        ASSERT_EQ(back.size(), 3u);
        EXPECT_EQ(back[1], Value("after"));
        EXPECT_EQ(back[2], i16(1));
    }
}

TEST(SettingsWriter, EndsEveryLineWithCrLf) {
    EXPECT_EQ(settings::settings_file_content({Value(), i16(0), Value("a")}), "\r\n 0 \r\na\r\n");
}

}  // namespace
