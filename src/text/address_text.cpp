#include "text/address_text.h"

namespace text {

std::string address_without_credentials(const std::string& address) {
    const auto authority = address.find("://");
    if (authority == std::string::npos) return address;
    const auto start = authority + 3;
    const auto end = address.find_first_of("/?#", start);
    const auto at = address.rfind('@', end == std::string::npos ? std::string::npos : end - 1);
    if (at == std::string::npos || at < start) return address;
    return address.substr(0, start) + address.substr(at + 1);
}

}  // namespace text
