#pragma once
// Drives a BrowserPane from a test and waits, with a deadline, for what it started.

#include <chrono>
#include <optional>
#include <string>

#include <gtkmm/label.h>
#include <gtkmm/window.h>

#include "browser_pane/browser_pane.h"

// True once the next load of the pane has finished (a failed load finishes too),
// whatever started it, or the navigation to address when there is one.
bool wait_for_load(BrowserPane& pane, std::chrono::milliseconds deadline = std::chrono::seconds(20),
                   const std::string* address = nullptr);
inline bool navigate_and_wait(BrowserPane& pane, const std::string& address,
                              std::chrono::milliseconds deadline = std::chrono::seconds(20)) {
    return wait_for_load(pane, deadline, &address);
}
// The web view itself, inside whatever the pane wraps it in.
Gtk::Widget& page_view(BrowserPane& pane);
// A script's answer in the page's own world: strings as they are, other values as
// JSON; nothing when the script fails or the deadline passes.
std::optional<std::string> script_result(BrowserPane& pane, const std::string& script,
                                         std::chrono::milliseconds deadline = std::chrono::seconds(10));
// The same, "<no answer>" when there is none.
std::string js(BrowserPane& pane, const std::string& script);
bool page_shows(BrowserPane& pane, const std::string& words);
// "left,top" of the page's scrolling element.
std::string scroll_offset(BrowserPane& pane);
// Loads the pane finished while the main loop ran for span: a retry loop shows here.
int loads_within(BrowserPane& pane, std::chrono::milliseconds span);
// As a crash would.
void end_page_process(BrowserPane& pane);
// The strip laid over the pane that says its page is older than the last attempt.
Gtk::Label& stale_strip(BrowserPane& pane);

// A pane alone in a window on screen, as a window test needs it.
struct PaneInWindow {
    explicit PaneInWindow(const RecoveryTimes& times = {}) : pane(times) {
        window.set_default_size(400, 300);
        window.add(pane.widget());
        window.show_all();
    }
    Gtk::Window window;
    BrowserPane pane;  // after the window, so that it leaves the window first
};
