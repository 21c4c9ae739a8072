#include "browser_pane/scroll_script.h"

#include <charconv>

namespace {

std::string or_null(std::optional<double> offset) { return offset ? js_number(*offset) : "null"; }

}  // namespace

std::string scroll_script(std::optional<double> left, std::optional<double> top, double slack) {
    // Short and without loops: it is compiled anew for each write. The globals live
    // in the script world, where the page cannot see or change them.
    std::string script = "(e=>{const s=window.orvalisScroll={l:" + or_null(left) + ",t:" + or_null(top) +
                         ",d:" + js_number(slack) + ",sent:false};if(!e)return false;";
    if (left)
        script += "e.scrollLeft=s.l;";
    if (top)
        script += "e.scrollTop=s.t;";
    return script +
           "return window.orvalisWatch===true&&(s.l===null||Math.abs(e.scrollLeft-s.l)<s.d)&&"
           "(s.t===null||Math.abs(e.scrollTop-s.t)<s.d)"
           "})(document.scrollingElement)";
}

std::string scroll_watch_script() {
    // The viewport's scroll events reach the document; those of inner elements do not.
    // Our own write fires one too, after the fact, when the viewport is where it should be.
    return std::string("window.orvalisWatch=true;document.addEventListener('scroll',()=>{"
                       "const s=window.orvalisScroll,e=document.scrollingElement;"
                       "if(!s||s.sent||(e&&(s.l===null||Math.abs(e.scrollLeft-s.l)<s.d)&&"
                       "(s.t===null||Math.abs(e.scrollTop-s.t)<s.d)))"
                       "return;s.sent=true;window.webkit.messageHandlers['") +
           kScrollMessage + "'].postMessage(0)});";
}

std::string js_number(double value) {
    char text[32];
    // Shortest exact form, and never the locale's decimal comma.
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}
