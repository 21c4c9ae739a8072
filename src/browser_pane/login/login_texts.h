#pragma once
// The words of a pane waiting on a login: our own pages for an HTTP login it cannot
// give, the strip over a form login that failed, and what the status says.

#include <string>

// The server at origin asks for a user and password that the file does not hold.
std::string login_required_page_html(const std::string& origin, const std::string& file);
// The server at origin refused those of the file; they are not sent again before next_try_hh_mm.
std::string login_refused_page_html(const std::string& origin, const std::string& file,
                                    const std::string& next_try_hh_mm);
// "Accesso non riuscito dalle 14:05"
std::string login_failed_strip_text(const std::string& failed_hh_mm);

inline constexpr const char* kLoginRequiredStatus = "accesso richiesto";
inline constexpr const char* kLoginFailedStatus = "accesso non riuscito";
