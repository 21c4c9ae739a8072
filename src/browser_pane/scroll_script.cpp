#include "browser_pane/scroll_script.h"

#include <charconv>

std::string scroll_script(std::optional<double> left, std::optional<double> top) {
    // Short and without loops: it is compiled anew for each write, four times a second.
    std::string script = "(e=>{if(!e)return false;";
    if (left)
        script += "e.scrollLeft=" + js_number(*left) + ";";
    if (top)
        script += "e.scrollTop=" + js_number(*top) + ";";
    return script + "return true})(document.scrollingElement)";
}

std::string js_number(double value) {
    char text[32];
    // Shortest exact form, and never the locale's decimal comma.
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}
