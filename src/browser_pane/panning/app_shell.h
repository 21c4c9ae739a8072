#pragma once
// Pages whose document never scrolls but whose content scrolls inside an element:
// single-page dashboards, ticket boards, status pages. Writing the document's scroll
// offsets does nothing on them, so a pane holds such a page on its region by giving
// the view a taller (or wider) viewport, to which the page lays itself out, and
// showing the part of it that starts at the stored offsets.
//
// Here: the probe that tells such a page from others, the decision on its findings,
// and the viewport arithmetic. Running the probe and moving the view are the pane's.

#include <optional>
#include <string>

// No viewport is made larger than this on either axis; larger offsets are capped.
inline constexpr int kMaxViewport = 16384;

// What the probe measured on a laid-out page, in CSS pixels.
struct PageFindings {
    // How far the document's own viewport could scroll.
    int document_x = 0;
    int document_y = 0;
    // The largest overflow of any element with overflow auto or scroll at least half
    // as wide (for x) or as high (for y) as the pane: smaller boxes keep their size in
    // any viewport, so panning would show nothing more of them.
    int inner_x = 0;
    int inner_y = 0;
    // The largest client width and height among elements with overflow auto or scroll.
    int inner_width = 0;
    int inner_height = 0;
};

// The probe, to run in the pane's own script world once the page has loaded.
// Elements no larger than the pane (pane_width by pane_height) that do not overflow
// are passed over unstyled, to keep it quick on large pages. It evaluates to six
// comma-separated integers, read back by parse_findings.
std::string page_probe_script(int pane_width, int pane_height);

// Nothing when the text is not what the probe gives.
std::optional<PageFindings> parse_findings(const std::string& text);

// The axes on which a pane holds a page by panning.
struct PanAxes {
    bool x = false;
    bool y = false;

    bool operator==(const PanAxes&) const = default;
};

// A page is held by panning on an axis when its document cannot scroll on either
// axis and a large element of it can on that one. A page laid out to a viewport
// already panned may have let that element grow past its content: one larger than
// the pane on a panned axis still counts, so that a reload near the end of the
// list keeps its region.
PanAxes app_shell_axes(const PageFindings& page, int pane_width, int pane_height, PanAxes panned);

// Neither the document nor any element has anything to scroll: a short static page,
// or a dashboard that has not filled its list yet.
bool has_nothing_to_scroll(const PageFindings& page);

// The view's size and the part of it the pane shows, for stored offsets x and y.
// Negative offsets show the start; the viewport never exceeds kMaxViewport, except
// that it is never smaller than the pane.
struct PanGeometry {
    int view_width = 0;
    int view_height = 0;
    int shown_x = 0;
    int shown_y = 0;

    bool operator==(const PanGeometry&) const = default;
};
PanGeometry pan_geometry(int pane_width, int pane_height, double x, double y);
