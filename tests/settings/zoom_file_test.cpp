// The zoom steps a pane moves through and the key file that keeps them: a round trip,
// values nobody should have written, a missing or unreadable file.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <fstream>

#include "browser_pane/zoom_steps.h"
#include "settings/zoom_file.h"

namespace {

namespace fs = std::filesystem;

TEST(ZoomSteps, MoveOneStepAtATimeAndStopAtTheEnds) {
    int percent = kNormalZoom;
    for (int expected : {90, 80, 75, 67, 50, 30, 30}) EXPECT_EQ(percent = zoom_step_out(percent), expected);
    for (int expected : {50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300, 300})
        EXPECT_EQ(percent = zoom_step_in(percent), expected);
    EXPECT_EQ(nearest_zoom_step(0.72), 75);
    EXPECT_EQ(nearest_zoom_step(0.66), 67);
    EXPECT_EQ(nearest_zoom_step(0), 30);
    EXPECT_EQ(nearest_zoom_step(-1), 30);
    EXPECT_EQ(nearest_zoom_step(INFINITY), 300);
    EXPECT_EQ(nearest_zoom_step(NAN), 100);
}

class ZoomFile : public ::testing::Test {
protected:
    fs::path dir, file;
    void SetUp() override {
        char pattern[] = "/tmp/orvalis-zoom-XXXXXX";
        dir = mkdtemp(pattern);
        file = settings::zoom_file_for(dir / "sala.cfg");
    }
    void TearDown() override { fs::remove_all(dir); }
    void write(const std::string& content) { std::ofstream(file, std::ios::binary) << content; }
};

TEST_F(ZoomFile, IsNamedAfterTheSettingsFileAndReadsBackWhatWasWritten) {
    EXPECT_EQ(file, dir / "sala.cfg.zoom");
    ASSERT_EQ(settings::write_zoom_file(file, {75, 100, 30, 300}), std::nullopt);
    const auto read = settings::read_zoom_file(file);
    EXPECT_EQ(read.percent, (settings::PaneZooms{75, 100, 30, 300}));
    EXPECT_EQ(read.complaint, "");
}

TEST_F(ZoomFile, GivesNormalZoomWhereItHasNoSensibleValueAndSaysSoInOneLine) {
    write("[Zoom]\nFinestra1=0\nFinestra2=-1\nFinestra3=abc\nFinestra4=10000\n");
    auto read = settings::read_zoom_file(file);
    EXPECT_EQ(read.percent, (settings::PaneZooms{100, 100, 100, 100}));
    EXPECT_NE(read.complaint.find("finestre 1, 2, 3, 4"), std::string::npos) << read.complaint;
    EXPECT_EQ(read.complaint.find('\n'), std::string::npos);

    // Usable values stay, a hand-written one between steps goes to the nearest.
    write("[Zoom]\nFinestra1= 72 \nFinestra3=50\nFinestra4=\n");
    read = settings::read_zoom_file(file);
    EXPECT_EQ(read.percent, (settings::PaneZooms{75, 100, 50, 100}));
    EXPECT_NE(read.complaint.find("finestre 2, 4"), std::string::npos) << read.complaint;

    for (const char* content : {"Finestra1=75\n", "\xff\xfe[Zoom]"}) {
        write(content);
        read = settings::read_zoom_file(file);
        EXPECT_EQ(read.percent, (settings::PaneZooms{100, 100, 100, 100}));
        EXPECT_NE(read.complaint, "");
    }
    fs::remove(file);
    read = settings::read_zoom_file(file);
    EXPECT_EQ(read.percent, (settings::PaneZooms{100, 100, 100, 100}));
    EXPECT_NE(read.complaint, "");
}

TEST_F(ZoomFile, AFolderThatTakesNoFileIsReportedInOneLine) {
    const auto complaint = settings::write_zoom_file(dir / "missing" / "sala.cfg.zoom", {75, 75, 75, 75});
    ASSERT_TRUE(complaint.has_value());
    EXPECT_EQ(complaint->find('\n'), std::string::npos);
}

}  // namespace
