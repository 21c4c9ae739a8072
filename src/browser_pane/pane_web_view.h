#pragma once
// Makes the web views behind the panes: all share one web context (one network
// process, one cache) and one set of settings, since four panes run for days.
// Their page processes run in WebKit's sandbox wherever this machine allows it.
// What a view does with dialogs and new windows is PageGuard's.

#include <webkit2/webkit2.h>

// A new view with a reference of its own (not floating); the caller unrefs it.
WebKitWebView* new_pane_web_view();
