// The load step against real settings files and stand-in panes and dialog.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "main_window/startup.h"
#include "support/fakes.h"

namespace {

class StartupTest : public ::testing::Test {
protected:
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("orvalis-startup-" + std::to_string(getpid()));
    std::filesystem::path cfg = dir / "dati.cfg";
    SettingsStore store;
    FakeDialog dialog;
    FakePanes panes;

    void SetUp() override {
        std::filesystem::create_directories(dir);
        // What the dialog holds before the load step touches it.
        dialog.texts = {"", "", "", "http://www.example.org/browser", "/opt/tavorinello/tavorinello"};
        dialog.checks = {1, 1, 1, 1};
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    void write(const std::string& content) { std::ofstream(cfg, std::ios::binary) << content; }
};

TEST_F(StartupTest, WithoutFileEverythingIsEmptiedAndPanesNavigateToNothing) {
    Form_Load(store, cfg, dialog, panes.set());
    EXPECT_EQ(store.Dati[0], Value(std::int16_t{120}));
    for (int n = 1; n <= 8; ++n) EXPECT_EQ(store.Dati[n], Value()) << n;
    EXPECT_EQ(dialog.texts, (std::array<std::string, 5>{"", "", "", "", ""}));
    EXPECT_EQ(dialog.checks, (std::array<int, 4>{0, 0, 0, 0}));
    for (auto& p : panes.pane) {
        EXPECT_EQ(p.navigations, std::vector<std::string>{""});
        EXPECT_TRUE(p.silent);
        EXPECT_TRUE(p.scrolls.empty()) << "the load step writes no offsets";
    }
}

TEST_F(StartupTest, TwelveLinesNavigateAllFourAndLeaveFlagsAndLauncherEmpty) {
    write(" 1 \r\n 2 \r\n 3 \r\n 4 \r\n 5 \r\n 6 \r\n 7 \r\n 8 \r\n"
          "http://a/\r\nhttp://b/\r\nhttp://c/\r\nhttp://d/\r\n");
    Form_Load(store, cfg, dialog, panes.set());
    const char* expected[] = {"http://a/", "http://b/", "http://c/", "http://d/"};
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(panes.pane[n].navigations, std::vector<std::string>{expected[n]});
        EXPECT_EQ(dialog.texts[n], expected[n]);
    }
    EXPECT_EQ(dialog.checks, (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(dialog.texts[4], "");
    EXPECT_EQ(store.ScrollY[3].to_number(), 8.0);
}

TEST_F(StartupTest, ABadFlagOrARefusingPaneIsSkippedAndTheRestGoesOn) {
    write("\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nhttp://a/\r\nhttp://b/\r\nhttp://c/\r\n\r\n"
          " 1 \r\nvero\r\n 7 \r\n 2 \r\n/usr/bin/tavorinello\r\n");
    panes.pane[1].accepts = false;
    Form_Load(store, cfg, dialog, panes.set());
    EXPECT_EQ(dialog.checks, (std::array<int, 4>{1, 1, 1, 2}));
    EXPECT_EQ(dialog.texts[4], "/usr/bin/tavorinello");
    EXPECT_EQ(panes.pane[2].navigations, std::vector<std::string>{"http://c/"});
    for (auto& p : panes.pane) EXPECT_TRUE(p.silent);
}

}  // namespace
