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

// The channel on which the watch script reports, in kScrollWorld.
inline constexpr const char* kScrollMessage = "orvalis-scroll";

// An absent offset is not written. Offsets must be finite. The script evaluates to
// true only when the viewport now shows exactly the offsets written and the watch
// script runs in the document, so that any later move away will be reported; false
// (no scrolling element yet, an offset clamped by a page still too small) asks for
// another write. "Exactly" is within slack page pixels: a zoomed page can only
// stand on whole screen pixels, so below 100 % not on every page pixel.
std::string scroll_script(std::optional<double> left, std::optional<double> top, double slack = 1);

// Injected at document start into kScrollWorld: posts one message on kScrollMessage
// when the viewport leaves the offsets last written, whoever moved it, and stays
// quiet until the next write.
std::string scroll_watch_script();

// A JavaScript literal of a finite number that reads back as the same number,
// whatever the user's locale.
std::string js_number(double value);
