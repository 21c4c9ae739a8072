#pragma once
// The address the search box hands to the web browser: the maker's search page
// with the query, percent-encoded, as the value of "query". The whole address is
// one argument for the browser; nothing here ever goes through a shell.

#include <string>
#include <string_view>

std::string search_address(std::string_view query);
