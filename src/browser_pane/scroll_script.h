#pragma once
// The script that puts a page's viewport at given offsets. It works on
// document.scrollingElement, the body in quirks mode and the root element in
// standards mode, since engines ignore body.scrollTop on standards-mode pages.
// Running it, and deciding whether the page can take it, is the pane's.

#include <optional>
#include <string>

// The script world the script runs in, apart from the page's own scripts, so that
// a page that redefines globals cannot disturb it.
inline constexpr const char* kScrollWorld = "orvalis-scroll";

// An absent offset is not written. Offsets must be finite. The script evaluates to
// false when the document has no scrolling element yet, else true.
std::string scroll_script(std::optional<double> left, std::optional<double> top);

// A JavaScript literal of a finite number that reads back as the same number,
// whatever the user's locale.
std::string js_number(double value);
