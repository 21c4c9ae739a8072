#pragma once
// Session cookies, those a browser drops at its close, which WebKit's SQLite store
// does not keep: here they are kept in a file of their own, as a browser that restores
// its session keeps them, written at every change so that a logout also stays a logout.

#include <sigc++/connection.h>
#include <sigc++/functors/slot.h>

#include <filesystem>

typedef struct _WebKitCookieManager WebKitCookieManager;

// Starts putting back the cookies kept in file and returns at once, without waiting
// for the network process; from then on every change of the cookies is written there.
void keep_session_cookies(WebKitCookieManager* manager, const std::filesystem::path& file);

// Runs work once the cookies are back in place, so that a first load is already logged
// in: at once when none are on their way, and at the latest after a few seconds, so
// that a network process that never answers delays the pages but blanks no wall.
// Disconnecting the connection drops work.
sigc::connection when_session_cookies_restored(const sigc::slot<void()>& work);
