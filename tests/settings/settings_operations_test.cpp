#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "settings/settings_operations.h"
#include "settings_temp_folder.h"
#include "support/fakes.h"

namespace {

Value i16(int v) { return Value(static_cast<std::int16_t>(v)); }

bool same_store(const SettingsStore& a, const SettingsStore& b) {
    return a.Finestra == b.Finestra && a.ScrollX == b.ScrollX && a.ScrollY == b.ScrollY && a.Dati == b.Dati;
}

// Seventeen lines as the dialog would save them, with `line` (1..17) replaced.
std::string settings_file_with(int line, const std::string& replacement) {
    std::vector<std::string> lines = {" 10 ", "-20 ", " 0 ", " 0 ", " 5 ", " 7 ", "", "",
                                      "http://example.org/1", "http://example.org/2",
                                      "http://example.org/3", "http://example.org/4",
                                      " 1 ", " 0 ", " 2 ", " 1 ", "/usr/bin/launcher"};
    if (line >= 1) lines[line - 1] = replacement;
    std::string content;
    for (const auto& l : lines) content += l + "\r\n";
    return content;
}

std::string first_lines(const std::string& content, int count) {
    std::size_t end = 0;
    for (int line = 0; line < count; ++line) end = content.find("\r\n", end) + 2;
    return content.substr(0, end);
}

class SettingsOperations : public TempFolder {
protected:
    SettingsStore store;
    FakeDialog dialog;
    std::array<FakePane, 4> pane_objects;
    PaneSet panes{&pane_objects[0], &pane_objects[1], &pane_objects[2], &pane_objects[3]};
};

TEST_F(SettingsOperations, SavingAnUntouchedStartWritesTheExpectedBytes) {
    store.Dati[0] = i16(120);
    const auto file = folder() / "dati.cfg";
    EXPECT_TRUE(startup_read(store, file).is_empty());  // no dati.cfg yet
    const FileOutcome saved = save_settings(file, store, dialog);
    EXPECT_TRUE(saved.ok) << saved.message;
    EXPECT_TRUE(saved.message.empty());
    std::string expected;
    for (int line = 0; line < 12; ++line) expected += "\r\n";
    for (int line = 0; line < 4; ++line) expected += " 0 \r\n";
    expected += "\r\n";
    EXPECT_EQ(content_of(file), expected);
}

TEST_F(SettingsOperations, StartupReadFillsAsFarAsTheFileGoes) {
    store.Dati[0] = i16(120);
    const auto ten_lines = write("ten.cfg", first_lines(settings_file_with(0, ""), 10));
    EXPECT_TRUE(startup_read(store, ten_lines).is_empty());
    EXPECT_EQ(store.ScrollX[0], i16(10));
    EXPECT_EQ(store.ScrollY[0], i16(-20));
    EXPECT_TRUE(store.ScrollX[3].is_empty());
    EXPECT_EQ(store.Dati[1], Value("http://example.org/1"));
    EXPECT_EQ(store.Dati[2], Value("http://example.org/2"));
    for (int i = 3; i <= 8; ++i) EXPECT_TRUE(store.Dati[i].is_empty()) << i;
    EXPECT_EQ(store.Dati[0], i16(120));

    // Lenient: a flag that is no number is kept as it is, the lines after it still count.
    const auto bad_flag = write("bad.cfg", settings_file_with(15, "abc") + "line 18\r\n");
    EXPECT_EQ(startup_read(store, bad_flag), Value("http://example.org/4"));
    EXPECT_EQ(store.Dati[6], Value("abc"));
    EXPECT_EQ(store.Dati[7], i16(1));
    EXPECT_EQ(store.Dati[8], Value("/usr/bin/launcher"));
}

TEST_F(SettingsOperations, SavedSettingsLoadBackIntoTheSamePlaces) {
    store.ScrollX = {i16(10), Value(std::int32_t{40000}), Value(2.5), Value()};
    store.ScrollY = {i16(-10), Value("abc"), Value("007"), i16(0)};
    dialog.texts = {"http://example.org/a?x=1,2", "http://example.org/caffè", " spaced ", "", "/opt/lanciatore"};
    dialog.checks = {0, 1, 2, 1};
    const auto file = folder() / "mine.cfg";
    ASSERT_TRUE(save_settings(file, store, dialog).ok);

    SettingsStore loaded;
    loaded.Dati[0] = i16(57);
    FakeDialog fresh;
    const FileOutcome outcome = load_settings(file, loaded, fresh, panes);
    ASSERT_TRUE(outcome.ok) << outcome.message;
    EXPECT_EQ(fresh.texts, dialog.texts);
    EXPECT_EQ(fresh.checks, dialog.checks);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(loaded.ScrollX[i].to_text(), store.ScrollX[i].to_text());
        EXPECT_EQ(loaded.ScrollY[i].to_text(), store.ScrollY[i].to_text());
    }
    EXPECT_EQ(loaded.Dati[0], i16(57));
    EXPECT_EQ(loaded.Dati[1].to_text(), dialog.texts[0]);
    EXPECT_EQ(loaded.Dati[5], i16(1));
    EXPECT_EQ(loaded.Dati[8].to_text(), dialog.texts[4]);
    for (int n = 0; n < 3; ++n)
        EXPECT_EQ(pane_objects[n].navigations, std::vector<std::string>{dialog.texts[n]});
    EXPECT_TRUE(pane_objects[3].navigations.empty());

    // Null panes are skipped.
    EXPECT_TRUE(load_settings(file, loaded, fresh, PaneSet{}).ok);
}

TEST_F(SettingsOperations, AFailedLoadChangesNothingAndNamesTheLine) {
    struct Case { std::string content; std::string line; };
    const std::string sixteen = first_lines(settings_file_with(0, ""), 16);
    const std::vector<Case> cases = {
        {settings_file_with(15, "abc"), "riga 15"},
        {settings_file_with(13, " 3 "), "riga 13"},
        {settings_file_with(16, "-1 "), "riga 16"},
        {sixteen, "riga 17"},
        {"", "riga 1"},
    };
    store.ScrollX[0] = Value("before");
    store.Dati = {i16(99), Value("d1"), Value("d2"), Value("d3"), i16(1), i16(1), i16(1), i16(1), Value("d8")};
    dialog.texts = {"t1", "t2", "t3", "t4", "t5"};
    dialog.checks = {2, 2, 2, 2};
    const SettingsStore store_before = store;
    const FakeDialog dialog_before = dialog;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const auto file = write("broken.cfg", c.content);
        const FileOutcome outcome = load_settings(file, store, dialog, panes);
        EXPECT_FALSE(outcome.ok);
        EXPECT_NE(outcome.message.find("broken.cfg"), std::string::npos) << outcome.message;
        EXPECT_NE(outcome.message.find(c.line), std::string::npos) << outcome.message;
        EXPECT_TRUE(same_store(store, store_before));
        EXPECT_EQ(dialog.texts, dialog_before.texts);
        EXPECT_EQ(dialog.checks, dialog_before.checks);
        for (const FakePane& pane : pane_objects) EXPECT_TRUE(pane.navigations.empty());
    }
    const FileOutcome missing = load_settings(folder() / "missing.cfg", store, dialog, panes);
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.message.find("missing.cfg"), std::string::npos);
    EXPECT_TRUE(same_store(store, store_before));
}

TEST_F(SettingsOperations, SavingReplacesTheWholeFileAndKeepsItsPermissions) {
    const auto file = write("old.cfg", std::string(5000, 'z') + "\r\n");
    ::chmod(file.c_str(), 0640);
    dialog.texts[0] = "http://example.org/";
    ASSERT_TRUE(save_settings(file, store, dialog).ok);
    const std::string eight_empty_lines = "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";
    EXPECT_EQ(content_of(file), eight_empty_lines + "http://example.org/\r\n\r\n\r\n\r\n"
                                " 0 \r\n 0 \r\n 0 \r\n 0 \r\n\r\n");
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
              std::filesystem::perms(0640));
    EXPECT_EQ(entries(), 1u);
}

// Runs `body` in a child process, so that it may drop root's rights or lower a
// limit without touching the other tests, and returns what it answered.
std::string in_child(const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) return "pipe failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const std::string answer = body();
        [[maybe_unused]] auto written = ::write(fds[1], answer.data(), answer.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string answer;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) answer.append(buffer, n);
    ::close(fds[0]);
    ::waitpid(pid, nullptr, 0);
    return answer;
}

TEST_F(SettingsOperations, AFailedSaveLeavesTheOldFileAndNoLeftovers) {
    const std::string old_content = settings_file_with(0, "");
    const auto file = write("dati.cfg", old_content);
    ::chmod(file.c_str(), 0644);

    // An unwritable folder. Root may write anywhere, so the child gives up root first.
    ::chmod(folder().c_str(), 0555);
    const std::string unwritable = in_child([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return std::string("skip");
        const FileOutcome outcome = save_settings(file, store, dialog);
        return outcome.ok ? std::string("saved") : outcome.message;
    });
    ::chmod(folder().c_str(), 0755);
    if (unwritable == "skip") GTEST_SKIP() << "cannot drop root's rights here";
    EXPECT_NE(unwritable.find("dati.cfg"), std::string::npos) << unwritable;
    EXPECT_NE(unwritable.find("permesso negato"), std::string::npos) << unwritable;
    EXPECT_EQ(content_of(file), old_content);
    EXPECT_EQ(entries(), 1u);

    // A write that fails half way: the file size limit stops it after a few bytes.
    const std::string too_big = in_child([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{8, 8};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const FileOutcome outcome = save_settings(file, store, dialog);
        return outcome.ok ? std::string("saved") : outcome.message;
    });
    EXPECT_NE(too_big.find("dati.cfg"), std::string::npos) << too_big;
    EXPECT_EQ(content_of(file), old_content);
    EXPECT_EQ(entries(), 1u);

    const FileOutcome no_folder = save_settings(folder() / "missing" / "dati.cfg", store, dialog);
    EXPECT_FALSE(no_folder.ok);
    EXPECT_NE(no_folder.message.find("missing/dati.cfg"), std::string::npos) << no_folder.message;
    EXPECT_FALSE(save_settings(folder(), store, dialog).ok);
}

}  // namespace
