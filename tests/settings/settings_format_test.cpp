#include <gmock/gmock.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "settings/settings_reader.h"
#include "settings/settings_writer.h"

namespace {

using settings::FieldsRead;
using testing::_;
using testing::ElementsAre;

Value i16(int v) { return Value(static_cast<std::int16_t>(v)); }

// Hands the bytes over `chunk` at a time, so that reads also split marks, CR LFs and characters;
// past fail_at, reading fails as a bad disk does.
std::vector<Value> parse(const std::string& bytes, std::size_t chunk = 4096, FieldsRead* read = nullptr,
                         std::size_t fail_at = std::string::npos) {
    std::size_t at = 0;
    const FieldsRead result = settings::read_fields([&](char* buffer, std::size_t capacity) -> std::ptrdiff_t {
        if (at >= fail_at) return errno = EIO, -1;
        const std::size_t n = std::min({capacity, chunk, bytes.size() - at, fail_at - at});
        std::memcpy(buffer, bytes.data() + at, n);
        at += n;
        return static_cast<std::ptrdiff_t>(n);
    });
    if (read) *read = result;
    std::vector<Value> values;
    for (const auto& field : result.fields) values.push_back(field.value);
    return values;
}

TEST(SettingsReader, SplitsTypesAndDecodesFieldsWhateverTheLineEnds) {
    struct Case { std::string bytes; std::vector<Value> values; };
    const std::vector<Case> cases = {
        {" 1 \r\n-5 \r\n 2.5 \n 70000 \n", {i16(1), i16(-5), Value(2.5), Value(std::int32_t{70000})}},
        {"  a  ,b,\r\n\r\n", {"a", "b", Value(), Value()}},
        {"\"x, y\"\r\n\"007\"\n007\n\"\"\n", {"x, y", "007", i16(7), ""}},
        {"\"abc\"junk,next\n\"unclosed\nnext\n", {"abc", "next", "unclosed", "next"}},
        {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        {std::string("\xEF\xBB\xBF 1 \na\0b\n\0\n", 13), {i16(1), "ab", Value()}},
        // Windows-1252 unless the whole file is UTF-8, or a byte-order mark says it is.
        {"caff\xE8\r\n\x80 \x93x\x94\x81\r\n", {"caffè", "€ “x”\xC2\x81"}},
        {"caffè\ncittà\n", {"caffè", "città"}},
        {"caffè\ncitt\xE0\n", {"caffÃ¨", "città"}},
        {"\xEF\xBB\xBF" "caffè\ncitt\xE0\n", {"caffè", "citt\xEF\xBF\xBD"}},
    };
    for (const Case& c : cases)
        for (std::size_t chunk : {std::size_t{1}, std::size_t{4096}})
            EXPECT_EQ(parse(c.bytes, chunk), c.values) << c.bytes << " in pieces of " << chunk;
}

TEST(SettingsReader, LongFilesAndLinesAreCutWithoutLosingCountOrSplittingACharacter) {
    std::string twenty;
    for (int n = 1; n <= 20; ++n) twenty += std::to_string(n) + (n % 2 ? "\r\n" : "\n");
    FieldsRead read;
    EXPECT_EQ(parse(twenty, 5, &read).back(), i16(17));
    EXPECT_EQ(std::pair(read.end, read.fields.back().line), std::pair(FieldsRead::End::Complete, 17));

    const std::string a_s(settings::kFieldLimit - 1, 'a');
    EXPECT_EQ(parse(a_s + "è,skipped\nnext\n", 70000, &read), (std::vector<Value>{a_s, "next"}));
    EXPECT_EQ(read.fields.back().line, 2);
}

// A failure part way is never taken for the file's end, even within the 17th line.
TEST(SettingsReader, AReadFailingPartWayKeepsTheFieldsBeforeItAndSaysWhy) {
    std::string lines;
    for (int n = 1; n <= 17; ++n) lines += " " + std::to_string(n) + " \r\n";
    for (std::size_t fail_at : {std::size_t{0}, std::size_t{10}, lines.size() - 3}) {
        FieldsRead read;
        const auto values = parse(lines, 5, &read, fail_at);
        EXPECT_TRUE(read.end == FieldsRead::End::ReadError && !read.reason.empty()) << fail_at;
        EXPECT_EQ(values, parse(lines.substr(0, fail_at))) << fail_at;
    }
}

TEST(SettingsWriter, WritesNumbersAsEverAndLosesLittleOfTextsTheFormatCannotHold) {
    struct Case { Value value; std::string line; };
    const std::vector<Case> cases = {
        {i16(1), " 1 "},      {i16(-5), "-5 "},    {Value(2.5), " 2.5 "},     {Value(true), "True"},
        {"ab\"c\"", "ab\"c\""}, {"\"abc", "\"'abc\""}, {"a\r\nb", "a b"},
        {Value(std::string("a\0b", 3)), "ab"},     {"caff\xE8", "caff\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) EXPECT_EQ(settings::settings_line(c.value), c.line) << c.value.to_text();
}

// Each value is written with a line after it, which must stay in place.
TEST(SettingsWriter, ValuesReadBackUnchangedAndLossyTextsNeverShiftTheNextLine) {
    const auto read_back = [](const Value& value) { return parse(settings::settings_file_content({value, "after"})); };
    const auto is_number = [](const Value& v) { return !v.is_text() && v != Value(); };
    for (const Value& value : std::vector<Value>{
             "http://example.org/a?x=1,2", "caffè €", "  ", "x\t", " x", ",", "a,b", "True", "0.5",
             "-0", "007", "1e5", "+1", " 12 ", "", "12", "ab\"c\"", i16(32767), Value(std::int32_t{-70000}),
             Value(0.1), Value(1e20), Value(-2.5e-7), Value(123456789.125), Value()}) {
        const auto back = read_back(value);
        ASSERT_EQ(back.size(), 2u) << value.to_text();
        EXPECT_EQ(std::tuple(back[0].to_text(), is_number(back[0]) || !is_number(value), back[1]),
                  std::tuple(value.to_text(), true, Value("after")));
    }
    for (const char* lossy : {"\"a,b\"", "\"", "\"\"", "a\"b,c", "x\ny,\"z"})
        EXPECT_THAT(read_back(lossy), ElementsAre(_, Value("after"))) << lossy;
}

}  // namespace
