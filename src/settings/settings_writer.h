#pragma once
// Turns values into the lines of a settings file so that the reader gives them
// back: numbers as " 12 " or "-5 ", texts as they are wherever the reader would
// take them back unchanged, and in double quotes where a comma, a blank at either
// end or a look of a number ("007", "1e5") would change them. Output is UTF-8
// without a byte-order mark, lines end with CR LF. Putting the bytes on disk is
// left to others.
//
// The format has no escape character, so a few texts cannot survive it whole;
// they lose as little as possible and never disturb the other lines:
// - a line break in a text becomes a blank, and a NUL is dropped;
// - a text that needs the quotes and itself holds a double quote has its double
//   quotes written as apostrophes (a plain text may hold double quotes anywhere
//   but at its start, and keeps them);
// - invalid UTF-8 is written as U+FFFD;
// - the reader keeps only the first 64 KiB of a line.

#include <string>
#include <vector>

#include "value/value.h"

namespace settings {

// One value as its line, without the line end.
std::string settings_line(const Value& value);

// The whole file: each value's line followed by CR LF.
std::string settings_file_content(const std::vector<Value>& values);

}  // namespace settings
