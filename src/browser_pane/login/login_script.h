#pragma once
// The script that finds a login form on a page and, when asked, fills and submits it.
// It runs as the body of an async function in a script world of its own, never the
// page's, with these arguments (never pasted into its text):
//   origin    the origin the pane took the page for; nothing happens on any other
//   user, password   what to fill in; empty when fill is false
//   fill      "fill" to fill and submit; empty to only look
//   look      a number, as text, echoed in the answer, so that only the latest look counts
// It answers on kLoginMessage, in that world only, with "<look> <LoginSeen>".
// A form is filled only when it sends with POST to the page's own origin (a GET form
// would put the password in the address) and asks for one password alone.

#include <optional>
#include <string>

inline constexpr const char* kLoginWorld = "orvalis-accesso";
inline constexpr const char* kLoginMessage = "orvalisAccesso";

const std::string& login_form_script();

// What the script found on the page.
enum class LoginSeen {
    elsewhere,  // the page is on another origin than the one asked for
    none,       // no visible password field
    form,       // a login form, left alone (fill was false)
    unfit,      // a form that sends otherwise, or asks for a new password: left alone
    submitted,  // filled and submitted
};
struct LoginAnswer {
    unsigned look = 0;
    LoginSeen seen = LoginSeen::none;
};
std::optional<LoginAnswer> parse_login_answer(const std::string& text);
