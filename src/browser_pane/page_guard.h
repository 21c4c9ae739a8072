#pragma once
// Keeps a web view from opening anything of its own. While silent: script dialogs are
// answered without showing (before-unload lets the page go), permission requests are
// denied, and print, file and colour choosers, log-in prompts, notifications and full
// screen are refused. Always: a new window at an http or https address asked for by
// the user's click is handed to new_window instead, any other new window goes nowhere
// (other schemes with one line on standard error), and a response the view cannot
// show is dropped rather than downloaded.

#include <sigc++/signal.h>
#include <webkit2/webkit2.h>

#include <string>

struct PageGuard {
    bool silent = false;
    // The http or https address of each new window the user's click asked for; with
    // nothing connected it opens nowhere.
    sigc::signal<void(const std::string& address)> new_window;
};

// The view's policy decisions: true when it decided (a new window, a response the view
// cannot show). Not connected by attach_page_guard: the pane decides whose decision comes first.
bool page_guard_decide_policy(PageGuard& guard, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type);

// The guard must outlive the connection; detach before it goes.
void attach_page_guard(WebKitWebView* view, PageGuard* guard);
void detach_page_guard(WebKitWebView* view, PageGuard* guard);
