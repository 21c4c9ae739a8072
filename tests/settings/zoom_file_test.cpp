// The zoom steps a pane moves through, and the key file that keeps them.

#include <gmock/gmock.h>

#include <cmath>

#include "zoom/zoom_steps.h"
#include "settings/zoom_file.h"
#include "support/files.h"

namespace {

using namespace testing;

TEST(ZoomSteps, MoveOneStepAtATimeAndStopAtTheEnds) {
    for (std::size_t i = 0, last = kZoomSteps.size() - 1; i <= last; ++i) {
        EXPECT_EQ(zoom_step_out(kZoomSteps[i]), kZoomSteps[i == 0 ? 0 : i - 1]);
        EXPECT_EQ(zoom_step_in(kZoomSteps[i]), kZoomSteps[i == last ? last : i + 1]);
    }
    for (const auto& [factor, step] : {std::pair{0.72, 75}, {0.66, 67}, {0.0, 30}, {-1.0, 30}, {INFINITY, 300}, {NAN, 100}})
        EXPECT_EQ(nearest_zoom_step(factor), step) << factor;
}

// Normal zoom where the file has no sensible value, and a one-line complaint naming the panes;
// usable values stay, a hand-written one between steps goes to the nearest.
TEST(ZoomFile, GivesNormalZoomWhereItHasNoSensibleValueAndEachFailureSaysSoInOneLine) {
    struct Case { std::optional<std::string> content; settings::PaneZooms percent; const char* panes; };
    const Case cases[] = {
        {std::nullopt, {100, 100, 100, 100}, ""},  // no file at all, before any is written
        {"[Zoom]\nFinestra1=0\nFinestra2=-1\nFinestra3=abc\nFinestra4=10000\n", {100, 100, 100, 100}, "finestre 1, 2, 3, 4"},
        {"[Zoom]\nFinestra1= 72 \nFinestra3=50\nFinestra4=\n", {75, 100, 50, 100}, "finestre 2, 4"},
        {"Finestra1=75\n", {100, 100, 100, 100}, ""}, {"\xff\xfe[Zoom]", {100, 100, 100, 100}, ""},
    };
    const TempFolder dir{"orvalis-zoom"};
    for (const Case& c : cases) {
        if (c.content) write_file(dir / "sala.cfg.zoom", *c.content);
        const auto read = settings::read_zoom_file(dir / "sala.cfg.zoom");
        EXPECT_EQ(read.percent, c.percent) << c.content.value_or("");
        EXPECT_THAT(read.complaint, AllOf(Ne(""), HasSubstr(c.panes), Not(HasSubstr("\n"))));
    }
    // A folder that takes no file is named in one line too.
    EXPECT_THAT(settings::write_zoom_file(dir / "missing" / "sala.cfg.zoom", {75, 75, 75, 75}),
                Optional(Not(HasSubstr("\n"))));
}

}  // namespace
