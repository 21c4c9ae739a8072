#include <gmock/gmock.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <iterator>
#include <tuple>

#include "settings/settings_operations.h"
#include "support/fakes.h"
#include "support/files.h"

namespace {

namespace fs = std::filesystem;
using testing::AllOf;
using testing::HasSubstr;

Value i16(int v) { return Value(static_cast<std::int16_t>(v)); }

// The first `count` lines a save would write, with line `line` (1..17) replaced.
std::string file_with(int line = 0, const std::string& replacement = "", int count = 17) {
    std::vector<std::string> lines = {" 10 ", "-20 ", " 0 ", " 0 ", " 5 ", " 7 ", "", "", "http://a.example/1",
                                      "http://a.example/2", "http://a.example/3", "http://a.example/4",
                                      " 1 ", " 0 ", " 2 ", " 1 ", "/usr/bin/launcher"};
    if (line >= 1) lines[line - 1] = replacement;
    std::string content;
    for (int n = 0; n < count; ++n) content += lines[n] + "\r\n";
    return content;
}

class SettingsOperations : public ::testing::Test {
protected:
    fs::path write(const std::string& file, const std::string& content) const { return write_file(folder / file, content); }

    TempFolder temp{"orvalis-settings"};
    const fs::path& folder = temp.path();
    SettingsStore store;
    FakeDialog dialog;
};

// An untouched start without dati.cfg saves the expected bytes; what is saved loads back in place.
TEST_F(SettingsOperations, SavingAnUntouchedStartWithoutDatiCfgWritesTheExpectedBytesAndLoadsBack) {
    const auto file = folder / "dati.cfg";
    EXPECT_EQ(startup_read(store, file), Value());
    const FileOutcome saved = save_settings(file, store, dialog);
    EXPECT_TRUE(saved.ok && saved.message.empty()) << saved.message;
    std::string expected;
    for (int line = 1; line <= 17; ++line) expected += line >= 13 && line <= 16 ? " 0 \r\n" : "\r\n";
    EXPECT_EQ(file_text(file), expected);

    store.ScrollX = {i16(10), Value(std::int32_t{40000}), Value(2.5), Value()};
    store.ScrollY = {i16(-10), Value("abc"), Value("007"), i16(0)};
    dialog.texts = {"http://a.example/?x=1,2", "http://a.example/caffè", " spaced ", "", "/opt/lanciatore"};
    dialog.checks = {0, 1, 2, 1};
    ASSERT_TRUE(save_settings(file, store, dialog).ok);

    SettingsStore loaded;
    loaded.Dati[0] = i16(57);
    FakeDialog fresh;
    ASSERT_EQ(load_settings(file, loaded, fresh).message, "");
    EXPECT_EQ(std::tie(fresh.texts, fresh.checks, loaded.ScrollX, loaded.ScrollY),
              std::tie(dialog.texts, dialog.checks, store.ScrollX, store.ScrollY));
    const auto& t = dialog.texts;
    EXPECT_EQ(loaded.Dati, (std::array<Value, 9>{i16(57), t[0], t[1], t[2], i16(0), i16(1), i16(2), i16(1), t[4]}));
}

TEST_F(SettingsOperations, AFailedLoadChangesNothingAndSaysWhere) {
    ASSERT_EQ(::mkfifo((folder / "pipe.cfg").c_str(), 0600), 0);  // must not block
    const std::vector<std::pair<fs::path, std::string>> cases = {
        {write("flag.cfg", file_with(15, "abc")), "riga 15"}, {write("big.cfg", file_with(13, " 3 ")), "riga 13"},
        {write("minus.cfg", file_with(16, "-1 ")), "riga 16"}, {write("short.cfg", file_with(0, "", 16)), "riga 17"},
        {write("empty.cfg", ""), "riga 1"}, {folder / "pipe.cfg", "pipe.cfg"}, {"/dev/zero", "zero"},
        {folder / "none.cfg", "none.cfg"}, {folder, folder.string()},
    };
    // The broken files hold values that a partial load would leave in the empty store and dialog.
    for (const auto& [file, where] : cases) {
        const FileOutcome outcome = load_settings(file, store, dialog);
        EXPECT_FALSE(outcome.ok);
        EXPECT_THAT(outcome.message, AllOf(HasSubstr(file.filename().string()), HasSubstr(where)));
        EXPECT_TRUE(store.ScrollX == SettingsStore().ScrollX && store.Dati == SettingsStore().Dati &&
                    dialog.texts == FakeDialog().texts && dialog.checks == FakeDialog().checks) << file;
    }
}

TEST_F(SettingsOperations, AFailedSaveLeavesTheOldFileAndASaveThroughALinkKeepsTheLink) {
    const auto file = write("dati.cfg", std::string(5000, 'z'));
    ASSERT_TRUE(save_settings(file, store, dialog).ok);
    const std::string saved = file_text(file);

    // Past a file size limit of 8 bytes the write fails half way.
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    const rlimit limit{8, previous.rlim_max};
    const auto previous_handler = ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const FileOutcome failed = save_settings(file, store, dialog);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    ::signal(SIGXFSZ, previous_handler);
    EXPECT_THAT(failed.message, HasSubstr("dati.cfg\": il file è troppo grande"));
    EXPECT_EQ(file_text(file), saved);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);  // no temporary file left

    // Through a symbolic link, even one whose target is not made yet, the link stays.
    fs::create_symlink("nuova.cfg", folder / "link.cfg");
    ASSERT_TRUE(save_settings(folder / "link.cfg", store, dialog).ok);
    EXPECT_TRUE(fs::is_symlink(folder / "link.cfg") && file_text(folder / "nuova.cfg") == saved);
}

TEST_F(SettingsOperations, SavingKeepsTheOwnerAndAClosedFolderIsNamedAsTheProblem) {
    const auto file = write("dati.cfg", "old");
    ::chmod(file.c_str(), 0666);
    const bool root = ::getuid() == 0;
    ASSERT_TRUE(!root || ::chown(file.c_str(), 65534, 65534) == 0);
    ASSERT_TRUE(save_settings(file, store, dialog).ok);
    struct stat saved {};
    ::stat(file.c_str(), &saved);
    EXPECT_EQ(saved.st_mode & 07777, 0666u);
    EXPECT_TRUE(!root || (saved.st_uid == 65534u && saved.st_gid == 65534u));
    // The file may be written, the folder it is in takes no new files; root, whom no folder
    // stops, tries it as the unprivileged user "nobody".
    const std::string before = file_text(file);
    ::chmod(folder.c_str(), 0555);
    ASSERT_TRUE(!root || ::seteuid(65534) == 0);
    const std::string message = save_settings(file, store, dialog).message;
    EXPECT_TRUE(!root || ::seteuid(0) == 0);
    ::chmod(folder.c_str(), 0755);
    EXPECT_THAT(message, HasSubstr("nella cartella \"" + folder.string() + "\" (permesso negato)"));
    EXPECT_EQ(file_text(file), before);
}

}  // namespace
