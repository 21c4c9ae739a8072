#pragma once
// The words a pane shows when its page could not be loaded: the strip over a page
// that is older than the last attempt, and the page of the pane's own for an address
// that never answered. Clock times come in already formatted; when to show which is
// the pane's.

#include <string>

// "Non aggiornata dalle 14:05": the page shown dates from the last good load at that time.
std::string stale_strip_text(const std::string& last_good_hh_mm);

// A short page in Italian naming the address tried (escaped) and the time of the next attempt.
std::string unreachable_page_html(const std::string& address, const std::string& next_attempt_time);

// text with &, <, >, " and ' replaced by their entities.
std::string html_escape(const std::string& text);
