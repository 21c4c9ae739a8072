#pragma once
// Where the program maker's web site lives: the search box's host and site name,
// and the home page the calculator's picture opens. Kept together so that moving
// the site is a change in one place.

#include <string_view>

namespace maker_site {

inline constexpr std::string_view kSearchHost = "cerca.example.org";
inline constexpr std::string_view kSearchSiteName = "Orvalis Cerca";
inline constexpr std::string_view kHomePage = "http://www.example.org/";

}  // namespace maker_site
