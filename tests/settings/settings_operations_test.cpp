#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <iterator>

#include "settings/settings_operations.h"
#include "support/fakes.h"
#include "support/files.h"

namespace {

namespace fs = std::filesystem;

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

TEST_F(SettingsOperations, SavingAnUntouchedStartWithoutDatiCfgWritesTheExpectedBytes) {
    const auto file = folder / "dati.cfg";
    EXPECT_EQ(startup_read(store, file), Value());
    const FileOutcome saved = save_settings(file, store, dialog);
    EXPECT_TRUE(saved.ok && saved.message.empty()) << saved.message;
    std::string expected;
    for (int line = 1; line <= 17; ++line) expected += line >= 13 && line <= 16 ? " 0 \r\n" : "\r\n";
    EXPECT_EQ(file_text(file), expected);
}

TEST_F(SettingsOperations, SavedSettingsLoadBackIntoTheSamePlaces) {
    store.ScrollX = {i16(10), Value(std::int32_t{40000}), Value(2.5), Value()};
    store.ScrollY = {i16(-10), Value("abc"), Value("007"), i16(0)};
    dialog.texts = {"http://a.example/?x=1,2", "http://a.example/caffè", " spaced ", "", "/opt/lanciatore"};
    dialog.checks = {0, 1, 2, 1};
    const auto file = folder / "mine.cfg";
    ASSERT_TRUE(save_settings(file, store, dialog).ok);

    SettingsStore loaded;
    loaded.Dati[0] = i16(57);
    FakeDialog fresh;
    ASSERT_EQ(load_settings(file, loaded, fresh).message, "");
    EXPECT_EQ(fresh.texts, dialog.texts);
    EXPECT_EQ(fresh.checks, dialog.checks);
    EXPECT_EQ(loaded.ScrollX, store.ScrollX);
    EXPECT_EQ(loaded.ScrollY, store.ScrollY);
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
        EXPECT_NE(outcome.message.find(file.filename().string()), std::string::npos) << outcome.message;
        EXPECT_NE(outcome.message.find(where), std::string::npos) << outcome.message;
        EXPECT_TRUE(store.ScrollX == SettingsStore().ScrollX && store.Dati == SettingsStore().Dati) << file;
        EXPECT_TRUE(dialog.texts == FakeDialog().texts && dialog.checks == FakeDialog().checks) << file;
    }
}

TEST_F(SettingsOperations, SavingKeepsThePermissionsAndAFailedSaveLeavesTheOldFile) {
    const auto file = write("dati.cfg", std::string(5000, 'z'));
    ::chmod(file.c_str(), 0640);
    ASSERT_TRUE(save_settings(file, store, dialog).ok);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms(0640));
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
    EXPECT_NE(failed.message.find("dati.cfg\": il file è troppo grande"), std::string::npos) << failed.message;
    EXPECT_EQ(file_text(file), saved);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);  // no temporary file left

    EXPECT_FALSE(save_settings(folder / "no" / "dati.cfg", store, dialog).ok);
    EXPECT_FALSE(save_settings(folder, store, dialog).ok);

    // Through a symbolic link, even one whose target is not made yet, the link stays.
    fs::create_symlink("nuova.cfg", folder / "link.cfg");
    ASSERT_TRUE(save_settings(folder / "link.cfg", store, dialog).ok);
    EXPECT_TRUE(fs::is_symlink(folder / "link.cfg"));
    EXPECT_EQ(file_text(folder / "nuova.cfg"), saved);
}

// What a save says from a child process that runs as the unprivileged user "nobody"
// when we are root, so that the folder's permissions count for it too.
std::string message_of_save_as_nobody(const fs::path& file, const SettingsStore& store, const FakeDialog& dialog) {
    int pipe_ends[2];
    if (::pipe(pipe_ends) != 0) return "<no pipe>";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe_ends[0]);
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(1);
        const std::string message = save_settings(file, store, dialog).message;
        ::_exit(::write(pipe_ends[1], message.data(), message.size()) < 0 ? 1 : 0);
    }
    ::close(pipe_ends[1]);
    std::string message;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipe_ends[0], buffer, sizeof buffer)) > 0;) message.append(buffer, n);
    ::close(pipe_ends[0]);
    ::waitpid(child, nullptr, 0);
    return message;
}

TEST_F(SettingsOperations, SavingKeepsTheOwnerAndAClosedFolderIsNamedAsTheProblem) {
    const auto file = write("dati.cfg", "old");
    ::chmod(file.c_str(), 0666);
    if (::getuid() == 0) {
        ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
        ASSERT_TRUE(save_settings(file, store, dialog).ok);
        struct stat saved {};
        ::stat(file.c_str(), &saved);
        EXPECT_EQ(saved.st_uid, 65534u);
        EXPECT_EQ(saved.st_gid, 65534u);
        EXPECT_EQ(saved.st_mode & 07777, 0666u);
    }
    // The file may be written, the folder it is in takes no new files.
    const std::string before = file_text(file);
    ::chmod(folder.c_str(), 0555);
    const std::string message = message_of_save_as_nobody(file, store, dialog);
    ::chmod(folder.c_str(), 0755);
    EXPECT_NE(message.find("nella cartella \"" + folder.string() + "\" (permesso negato)"), std::string::npos)
        << message;
    EXPECT_EQ(file_text(file), before);
}

}  // namespace
