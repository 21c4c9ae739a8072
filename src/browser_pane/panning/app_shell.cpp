#include "browser_pane/panning/app_shell.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace {

// The part of the pane's extent that an offset adds to the viewport.
int extra(int pane, double offset) {
    if (!(offset > 0))  // also NaN
        return 0;
    const int room = std::max(0, kMaxViewport - pane);
    return offset >= room ? room : static_cast<int>(std::lround(offset));
}

}  // namespace

std::string page_probe_script(int pane_width, int pane_height) {
    // The elements are walked with a tree walker, not querySelectorAll('*'): the list
    // that returns holds every element of the document, and the engine seldom
    // collects it on a page that runs little script of its own, so each reload left
    // the old document behind in the page's process, for good. A page whose document
    // scrolls is no app shell and is spared the walk altogether.
    // getComputedStyle is the costly part: elements that neither overflow nor exceed
    // the pane cannot matter and are skipped before it.
    return "((pw,ph)=>{const d=document.scrollingElement,dx=d?d.scrollWidth-d.clientWidth:0,"
           "dy=d?d.scrollHeight-d.clientHeight:0;if(dx>0||dy>0)return[dx,dy,0,0,0,0].join();"
           "const a=/^(auto|scroll)$/,w=document.createTreeWalker(document,1);let ix=0,iy=0,iw=0,ih=0;"
           "for(let e=w.nextNode();e;e=w.nextNode()){if(e===d)continue;"
           "const cw=e.clientWidth,ch=e.clientHeight,ox=e.scrollWidth-cw,oy=e.scrollHeight-ch;"
           "if(!cw&&!ch||ox<=0&&oy<=0&&cw<=pw&&ch<=ph)continue;const s=getComputedStyle(e);"
           "if(a.test(s.overflowX)){if(2*cw>=pw)ix=Math.max(ix,ox);iw=Math.max(iw,cw)}"
           "if(a.test(s.overflowY)){if(2*ch>=ph)iy=Math.max(iy,oy);ih=Math.max(ih,ch)}}"
           "return[dx,dy,ix,iy,iw,ih].join()})(" +
           std::to_string(pane_width) + "," + std::to_string(pane_height) + ")";
}

std::optional<PageFindings> parse_findings(const std::string& text) {
    std::array<int, 6> numbers{};
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0) {
            if (at == end || *at != ',')
                return std::nullopt;
            ++at;
        }
        const auto [next, error] = std::from_chars(at, end, numbers[i]);
        if (error != std::errc())
            return std::nullopt;
        at = next;
    }
    if (at != end)
        return std::nullopt;
    return PageFindings{numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], numbers[5]};
}

PanAxes app_shell_axes(const PageFindings& page, int pane_width, int pane_height, PanAxes panned) {
    if (page.document_x > 0 || page.document_y > 0)
        return {};
    return {page.inner_x > 0 || (panned.x && page.inner_width > pane_width),
            page.inner_y > 0 || (panned.y && page.inner_height > pane_height)};
}

bool has_nothing_to_scroll(const PageFindings& page) {
    return page.document_x <= 0 && page.document_y <= 0 && page.inner_x <= 0 && page.inner_y <= 0;
}

PanGeometry pan_geometry(int pane_width, int pane_height, double x, double y) {
    const int shown_x = extra(pane_width, x);
    const int shown_y = extra(pane_height, y);
    return {pane_width + shown_x, pane_height + shown_y, shown_x, shown_y};
}
