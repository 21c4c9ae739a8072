#pragma once
// Drives a BrowserPane from a test and waits, with a deadline, for what it started:
// a page to finish loading, a script's answer.

#include <chrono>
#include <optional>
#include <string>

#include "browser_pane/browser_pane.h"

// True once the pane finished loading address (a failed load finishes too).
bool navigate_and_wait(BrowserPane& pane, const std::string& address,
                       std::chrono::milliseconds deadline = std::chrono::seconds(20));
// True once the next load of the pane has finished, whatever started it.
bool wait_for_load(BrowserPane& pane, std::chrono::milliseconds deadline = std::chrono::seconds(20));
// The web view itself, inside whatever the pane wraps it in: where clicks land and
// the engine's signals are.
Gtk::Widget& page_view(BrowserPane& pane);
// The script's answer as BrowserPane::run_script gives it; nothing on failure or timeout.
std::optional<std::string> script_result(BrowserPane& pane, const std::string& script,
                                         std::chrono::milliseconds deadline = std::chrono::seconds(10));
