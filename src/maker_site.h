#pragma once
// Where the program's maker is found: the search box's host and site name, the home
// page that the calculator's picture opens and the About box names, and the mail
// address. Kept together so that moving the site is a change in one place.

#include <string_view>

namespace maker_site {

inline constexpr std::string_view kSearchHost = "cerca.example.org";
inline constexpr std::string_view kSearchSiteName = "Orvalis Cerca";
inline constexpr std::string_view kHomePage = "http://www.example.org/";
inline constexpr std::string_view kMail = "info@example.org";

}  // namespace maker_site
