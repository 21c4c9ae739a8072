#include "credentials/origin.h"

#include "text/address_text.h"

#include <algorithm>
#include <cctype>

namespace credentials {
namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Where the authority of an address begins and ends; npos when it has none.
std::pair<std::size_t, std::size_t> authority_span(const std::string& address) {
    const auto mark = address.find("://");
    if (mark == std::string::npos) return {std::string::npos, std::string::npos};
    const auto begin = mark + 3;
    const auto end = address.find_first_of("/?#", begin);
    return {begin, end == std::string::npos ? address.size() : end};
}

}  // namespace

std::string origin_key(const std::string& text) {
    const auto [begin, end] = authority_span(text);
    if (begin == std::string::npos || begin == end) return "";
    const std::string scheme = lower(text.substr(0, begin - 3));
    if (scheme != "http" && scheme != "https") return "";
    const std::string rest = text.substr(end);
    if (!rest.empty() && rest != "/") return "";
    std::string authority = lower(text.substr(begin, end - begin));
    if (authority.find('@') != std::string::npos) return "";
    // The port follows the last colon, outside an IPv6 address's brackets.
    const auto colon = authority.rfind(':');
    if (colon != std::string::npos && (authority.find(']') == std::string::npos || colon > authority.find(']'))) {
        const std::string port = authority.substr(colon + 1);
        if (!std::all_of(port.begin(), port.end(), [](unsigned char c) { return std::isdigit(c); })) return "";
        authority.resize(colon);
        const auto number = port.find_first_not_of('0');
        const std::string digits = number == std::string::npos ? "0" : port.substr(number);
        if (digits.size() > 5 || std::stoi(digits) > 65535) return "";
        const bool default_port = (scheme == "http" && digits == "80") || (scheme == "https" && digits == "443");
        if (!port.empty() && !default_port) authority += ":" + digits;
    }
    if (authority.empty() || authority.front() == ':') return "";
    return scheme + "://" + authority;
}

std::string origin_of_address(const std::string& address) {
    const auto [begin, end] = authority_span(address);
    if (begin == std::string::npos) return "";
    const std::string authority = address.substr(begin, end - begin);
    if (authority.find('@') != std::string::npos) return origin_key(text::address_without_credentials(address.substr(0, end)));
    return origin_key(address.substr(0, end));
}

}  // namespace credentials
