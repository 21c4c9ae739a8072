#pragma once
// The text of the About box: name and version, what the program does, and where
// to reach its maker.

#include <string>

std::string about_text();
