#pragma once
// Addresses as the credentials see them: the origin a login belongs to, compared exactly.

#include <string>

namespace credentials {

// "scheme://host[:port]" of an http or https address, lower case, its default port
// dropped, as a browser writes location.origin: "HTTPS://Grafana.local:443/" gives
// "https://grafana.local". Empty for anything else, or for one that names a user, a
// path beyond "/", a query or a fragment, since a group of the file names a site, not a page.
std::string origin_key(const std::string& text);
// The origin of a whole address, whatever its path: empty when it has none.
std::string origin_of_address(const std::string& address);

}  // namespace credentials
