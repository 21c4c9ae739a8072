#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "settings/settings_reader.h"
#include "settings/text_encoding.h"
#include "settings_temp_folder.h"

namespace {

using settings::FieldsRead;
using End = FieldsRead::End;

// Hands the bytes over in pieces of `chunk`, so that a byte-order mark or a CR LF
// split between two reads is exercised as well.
FieldsRead parse(const std::string& bytes, std::size_t chunk) {
    std::size_t at = 0;
    return settings::read_fields([&](char* buffer, std::size_t capacity) -> std::ptrdiff_t {
        const std::size_t n = std::min({capacity, chunk, bytes.size() - at});
        std::memcpy(buffer, bytes.data() + at, n);
        at += n;
        return static_cast<std::ptrdiff_t>(n);
    });
}

std::vector<Value> values_of(const FieldsRead& read) {
    std::vector<Value> values;
    for (const auto& field : read.fields) values.push_back(field.value);
    return values;
}

Value i16(int v) { return Value(static_cast<std::int16_t>(v)); }

TEST(SettingsReader, SplitsAndTypesFields) {
    struct Case { std::string bytes; std::vector<Value> values; };
    const std::vector<Case> cases = {
        {"", {}},
        {" 1 \r\n-5 \r\n", {i16(1), i16(-5)}},
        {" 2.5 \n 70000 \n", {Value(2.5), Value(std::int32_t{70000})}},
        {"a,b\r\n", {"a", "b"}},
        {"\r\n\r\n", {Value(), Value()}},
        {"x,\n", {"x", Value()}},
        {"  abc  \n", {"abc"}},
        {"\"x, y\"\r\n", {"x, y"}},
        {"\"007\"\n007\n", {"007", i16(7)}},
        {"\"\"\n", {""}},
        {"\"abc\"junk,next\n", {"abc", "next"}},
        {"\"unclosed\nnext\n", {"unclosed", "next"}},
        {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        {"\xEF\xBB\xBF 1 \n", {i16(1)}},
        {std::string("a\0b\n\0\0\n", 7), {"ab", Value()}},
        {"http://example.org/a?b=1&c=\"q\"\n", {"http://example.org/a?b=1&c=\"q\""}},
    };
    for (const Case& c : cases) {
        for (std::size_t chunk : {std::size_t{1}, std::size_t{4096}}) {
            SCOPED_TRACE(c.bytes + " in pieces of " + std::to_string(chunk));
            const FieldsRead read = parse(c.bytes, chunk);
            EXPECT_EQ(values_of(read), c.values);
            EXPECT_EQ(read.end, End::EndOfFile);
        }
    }
}

TEST(SettingsReader, NumbersTheLinesAndStopsAfterSeventeenFields) {
    const FieldsRead read = parse("a\r\nb,c\nd\n", 3);
    std::vector<int> lines;
    for (const auto& field : read.fields) lines.push_back(field.line);
    EXPECT_EQ(lines, (std::vector<int>{1, 2, 2, 3}));

    std::string twenty;
    for (int n = 1; n <= 20; ++n) twenty += std::to_string(n) + "\r\n";
    const FieldsRead long_read = parse(twenty, 5);
    EXPECT_EQ(long_read.end, End::Complete);
    ASSERT_EQ(long_read.fields.size(), 17u);
    EXPECT_EQ(long_read.fields.back().value, i16(17));
}

TEST(SettingsReader, TakesWindows1252WhenTheFileIsNotUtf8) {
    struct Case { std::string bytes; std::vector<Value> values; };
    const std::vector<Case> cases = {
        {"caff\xE8\r\n\x80 \x93x\x94\r\n", {"caffè", "€ “x”"}},
        {"\x81\x8D\x8F\x90\x9D\xFF\n", {"\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D\xC3\xBF"}},
        {"caffè\ncittà\n", {"caffè", "città"}},
        // One bad field settles the whole file: the UTF-8 look-alike is Windows-1252 too.
        {"caffè\ncitt\xE0\n", {"caffÃ¨", "città"}},
        // A byte-order mark settles it the other way.
        {"\xEF\xBB\xBF" "caffè\ncitt\xE0\n", {"caffè", "citt\xEF\xBF\xBD"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(values_of(parse(c.bytes, 2)), c.values);
    }
}

TEST(SettingsReader, CutsOverlongFieldsWithoutSplittingACharacter) {
    const std::string long_line(settings::kFieldLimit + 1000, 'a');
    const FieldsRead read = parse(long_line + ",skipped\nnext\n", 70000);
    ASSERT_EQ(read.fields.size(), 2u);
    EXPECT_EQ(read.fields[0].value.to_text(), std::string(settings::kFieldLimit, 'a'));
    EXPECT_EQ(read.fields[1].value, Value("next"));
    EXPECT_EQ(read.fields[1].line, 2);

    const std::string split = std::string(settings::kFieldLimit - 1, 'a') + "è\n";
    const FieldsRead cut = parse(split, 70000);
    ASSERT_EQ(cut.fields.size(), 1u);
    EXPECT_EQ(cut.fields[0].value.to_text(), std::string(settings::kFieldLimit - 1, 'a'));
}

TEST(SettingsReader, EndlessDataStopsAtTheReadLimit) {
    std::size_t served = 0;
    const FieldsRead read = settings::read_fields([&](char* buffer, std::size_t capacity) {
        std::memset(buffer, 'x', capacity);
        served += capacity;
        return static_cast<std::ptrdiff_t>(capacity);
    });
    EXPECT_EQ(read.end, End::ReadLimit);
    EXPECT_LE(served, settings::kReadLimit + 1);
    EXPECT_EQ(read.fields.size(), 1u);
}

TEST(SettingsReader, ReportsAFailingSource) {
    int calls = 0;
    const FieldsRead read = settings::read_fields([&](char* buffer, std::size_t) -> std::ptrdiff_t {
        if (calls++ == 0) {
            std::memcpy(buffer, "a\nb\n", 4);
            return 4;
        }
        errno = EIO;
        return -1;
    });
    EXPECT_EQ(read.end, End::ReadError);
    EXPECT_EQ(read.fields.size(), 2u);
    EXPECT_FALSE(read.reason.empty());
}

class SettingsReaderFiles : public TempFolder {};

TEST_F(SettingsReaderFiles, HostileFilesCostNoTimeAndYieldOnlyValidText) {
    std::mt19937 random(20240601);
    std::string random_bytes(1 << 20, '\0');
    for (char& c : random_bytes) c = static_cast<char>(random());
    const std::vector<std::pair<std::string, std::string>> files = {
        {"no_line_end.cfg", std::string(50 * 1024 * 1024, 'x')},
        {"nuls.cfg", std::string(10 * 1024 * 1024, '\0')},
        {"random.cfg", random_bytes},
    };
    for (const auto& [name, content] : files) {
        SCOPED_TRACE(name);
        const auto file = write(name, content);
        const auto start = std::chrono::steady_clock::now();
        const FieldsRead read = settings::read_fields_from_file(file);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_LT(took, std::chrono::milliseconds(500));
        EXPECT_LE(read.fields.size(), 17u);
        for (const auto& field : read.fields) {
            EXPECT_TRUE(settings::is_valid_utf8(field.value.to_text()));
            EXPECT_EQ(field.value.to_text().find('\0'), std::string::npos);
        }
    }
}

TEST_F(SettingsReaderFiles, OnlyRegularFilesAreOpened) {
    const auto pipe = folder() / "pipe.cfg";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::filesystem::path& file : {pipe, folder(), std::filesystem::path("/dev/zero"),
                                              folder() / "missing.cfg"}) {
        SCOPED_TRACE(file.string());
        const FieldsRead read = settings::read_fields_from_file(file);
        EXPECT_EQ(read.end, End::CannotOpen);
        EXPECT_FALSE(read.reason.empty());
    }
}

}  // namespace
