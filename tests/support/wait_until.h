#pragma once
// Waits without sleeping: the default main context runs until pred holds (true) or the
// deadline passes (false).

#include <chrono>
#include <functional>

bool wait_until(const std::function<bool()>& pred, std::chrono::milliseconds deadline);

// True once none of the program's windows is visible, as after the main window closed.
bool wait_until_no_window_visible(std::chrono::milliseconds deadline);
