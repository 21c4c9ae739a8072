#pragma once
// Percent-encoding of text for a URI query: each byte of the UTF-8 text becomes
// %XX (capital hex) except the unreserved A-Z a-z 0-9 - . _ ~, so that blanks,
// "&", "#", "?" and accented letters cannot change the address they go into.

#include <string>
#include <string_view>

std::string percent_encode(std::string_view utf8);
