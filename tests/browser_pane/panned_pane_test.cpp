// Panes on dashboards (a header over a list that scrolls in a box of its own), judged
// by what the pane shows; and the pages a pane must keep holding by document scroll.

#include <gtest/gtest.h>
#include <cairo.h>

#include "browser_pane/panning/pan_frame.h"
#include "support/local_http_server.h"
#include "support/pane_probe.h"
#include "support/synthetic_click.h"
#include "support/wait_until.h"

using namespace std::chrono_literals;

namespace {

constexpr int kRow = 60;
constexpr int kHeader = 40;
constexpr int row_top(int n) { return kHeader + (n - 1) * kRow; }

// A 40-pixel header and 200 rows of 60 pixels in a box that scrolls, each row a link
// to /row<n>; row 50 red, the others grey. Filled after its load, as a
// board that asks its server for the rows.
const std::string kDashboard =
    "<!DOCTYPE html><style>html,body{margin:0;height:100%;overflow:hidden}"
    "body{display:flex;flex-direction:column}header{flex:none;height:40px;background:#00f}"
    "#rows{flex:1;overflow:auto;background:#fff}#rows a{display:block;height:60px;background:#ccc}"
    "#rows a:nth-child(50){background:#f00}</style>"
    "<header></header><div id=rows></div><script>onload = () => setTimeout(() => { rows.innerHTML ="
    " Array.from({length: 200}, (_, n) => `<a href='/row${n + 1}'></a>`).join('') }, 300)</script>";

struct Rgb { int r, g, b; bool operator==(const Rgb&) const = default; };
constexpr Rgb kRed{255, 0, 0}, kTopBar{0, 0, 255};

class PannedPaneTest : public ::testing::Test {
protected:
    PannedPaneTest() { server.serve("/dashboard", "text/html", kDashboard); }

    const PanFrame& frame() { return dynamic_cast<PanFrame&>(*page_view(pane).get_parent()); }
    int height() { return frame().pane_height(); }

    // The first and one past the last line of the pane drawn in that colour, at x = 100.
    std::pair<int, int> span_of(Rgb colour) {
        // An allocation still queued (a pan just set) is done first, as the next frame would.
        gtk_container_check_resize(GTK_CONTAINER(shown.window.gobj()));
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, frame().pane_width(), height());
        cairo_t* cr = cairo_create(surface);
        gtk_widget_draw(pane.widget().gobj(), cr);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        int first = -1, end = -1;
        for (int y = 0; y < height(); ++y) {
            // B, G, R, unused on a little-endian machine
            const auto* p = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface) + 100 * 4;
            if (!(Rgb{p[2], p[1], p[0]} == colour)) continue;
            if (first < 0) first = y;
            end = y + 1;
        }
        cairo_surface_destroy(surface);
        return {first, end};
    }
    // Holds the pane on its offsets as the timer's ticks do, until it shows the span.
    bool shows(Rgb colour, std::pair<int, int> span, double top) {
        // Answers come in order: once this one is in, so is the pane's own look at a
        // page that just loaded, and the pane shows what it decided.
        js(pane, "0");
        return wait_until([&] { return pane.set_body_scroll(0, top) && span_of(colour) == span; }, 10s);
    }

    LocalHttpServer server;
    PaneInWindow shown;
    BrowserPane& pane = shown.pane;
};

}  // namespace

TEST_F(PannedPaneTest, DashboardsShowTheStoredRowThroughReloadsAndTakeClicksWhereShown) {
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/dashboard")));
    EXPECT_TRUE(shows(kRed, {0, kRow}, row_top(50))) << span_of(kRed).first;

    ASSERT_TRUE(pane.refresh(ReloadCause::schedule));
    ASSERT_TRUE(wait_for_load(pane));
    EXPECT_EQ(frame().geometry().shown_y, row_top(50)) << "the reload moved the pane";
    EXPECT_TRUE(shows(kRed, {0, kRow}, row_top(50)));

    // A click reaches the link under the pointer.
    server.serve("/row51", "text/html", "<title>51</title>");
    ASSERT_TRUE(shows(kRed, {0, kRow}, row_top(50))) << span_of(kRed).first;
    click_at(pane.widget(), 100, kRow + 30);  // the middle of the row under row 50
    EXPECT_TRUE(wait_until([&] { return js(pane, "document.title") == "51"; }, 10s)) << pane.uri();
}

TEST_F(PannedPaneTest, OtherPagesKeepDocumentScrollAndThePanesViewport) {
    const std::pair<const char*, std::string> pages[] = {
        // a box that scrolls does not make a long page a dashboard
        {"/long-box", "<!DOCTYPE html><body style='margin:0'><div style='height:100px;overflow:auto'>"
                      "<div style='height:500px'></div></div><div style='height:6000px'></div>"},
        {"/short", "<!DOCTYPE html><body style='margin:0'><div style='height:50px;background:#00f'></div>Hi"},
        // short pages whose boxes keep their size in any viewport: panning would show blank
        {"/short-box", "<!DOCTYPE html><body style='margin:0'><div style='height:50px;background:#00f'></div>"
                       "<div style='height:100px;overflow:auto'><div style='height:900px'></div></div>"},
        {"/short-wide", "<!DOCTYPE html><body style='margin:0'><div style='height:50px;background:#00f'></div>"
                        "<pre style='overflow:auto'>" + std::string(400, 'x') + "</pre>"},
    };
    // Panned first, so that a page arriving in a tall viewport has to give it back.
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/dashboard")));
    ASSERT_TRUE(shows(kRed, {0, kRow}, row_top(50)));
    for (const auto& [path, html] : pages) {
        SCOPED_TRACE(path);
        server.serve(path, "text/html", html);
        ASSERT_TRUE(navigate_and_wait(pane, server.url(path)));
        const std::string pane_size = std::to_string(frame().pane_width()) + "x" + std::to_string(height());
        EXPECT_TRUE(wait_until([&] { return js(pane, "innerWidth + 'x' + innerHeight") == pane_size; }, 10s));
        const bool long_page = std::string(path).starts_with("/long");
        const std::string held = long_page ? "0," + std::to_string(row_top(50)) : "0,0";
        EXPECT_TRUE(wait_until([&] { return pane.set_body_scroll(0, row_top(50)) && scroll_offset(pane) == held; }, 10s));
        if (!long_page) { EXPECT_EQ(span_of(kTopBar), std::make_pair(0, 50)); }
    }
}
