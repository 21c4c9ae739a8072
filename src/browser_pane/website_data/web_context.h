#pragma once
// The web context every pane shares, over the wall's kept website data.

typedef struct _WebKitWebContext WebKitWebContext;
typedef struct _WebKitMemoryPressureSettings WebKitMemoryPressureSettings;

// A new web context over the wall's data (WebKit's default without keep_website_data),
// with the saved certificates trusted before it returns. The session cookies of the
// last run are on their way back (when_session_cookies_restored says when they are).
WebKitWebContext* new_wall_web_context(WebKitMemoryPressureSettings* memory);
