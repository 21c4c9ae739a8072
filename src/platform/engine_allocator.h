#pragma once

// Which allocator WebKit uses in this program's own process. WebKit's allocator keeps
// much of what it frees: over days of reloads this process grew by a third, where with
// WebKit's allocations sent through malloc it stays flat. The page processes keep
// WebKit's allocator, which their scripts are tuned for: they hold their size without it.
//
// WebKit reads the choice from the environment variable Malloc once, as its library
// loads, before main runs; so it can only be made by starting the program again.

namespace platform {

// Call in main before GTK starts, with main's argv as it came. When this image started
// without the choice, starts it again in the same process, with the same arguments and
// the choice set; when it started with it, removes it from the environment, so the page
// processes started later do not inherit it. Malloc set by the user (to debug WebKit)
// is left as it is, for every process. If the image cannot start again, or was not
// started by the kernel itself (through the dynamic loader, valgrind), it runs on.
void send_engine_allocations_through_malloc(char** argv);

}  // namespace platform
