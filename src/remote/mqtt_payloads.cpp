#include "remote/mqtt_payloads.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "text/address_text.h"

namespace remote {

using text::address_without_credentials;

namespace {

bool continuation_byte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte length of the first `characters` UTF-8 characters of text.
std::size_t prefix_bytes(const std::string& text, std::size_t characters) {
    std::size_t bytes = 0;
    for (std::size_t seen = 0; bytes < text.size(); ++bytes) {
        if (!continuation_byte(text[bytes]) && seen++ == characters) break;
    }
    return bytes;
}

std::size_t character_count(const std::string& text) {
    return std::count_if(text.begin(), text.end(), [](char c) { return !continuation_byte(c); });
}

}  // namespace

std::string json_string(const std::string& text) {
    std::string json = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

std::string short_state(const std::string& text) {
    if (character_count(text) <= kLongestState) return text;
    return text.substr(0, prefix_bytes(text, kLongestState - 1)) + "…";
}

std::string full_text_attributes(const std::string& text) { return "{\"testo\":" + json_string(text) + "}"; }

std::string address_problem(const std::string& address) {
    if (address.size() > kLongestAddress)
        return "l'indirizzo ha " + std::to_string(address.size()) + " caratteri (al massimo " +
               std::to_string(kLongestAddress) + ")";
    std::string scheme = address.substr(0, address.find(':'));
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return std::tolower(c); });
    if (scheme != "http" && scheme != "https") return "solo indirizzi http e https";
    const auto rest = address.substr(scheme.size());
    if (rest.rfind("://", 0) != 0 || rest.size() == 3 || rest.find_first_of("/?#", 3) == 3)
        return "l'indirizzo non nomina un host";
    if (std::any_of(address.begin(), address.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f || c == ' '; }))
        return "l'indirizzo contiene spazi o caratteri di controllo";
    return "";
}

std::optional<double> zoom_percent(const std::string& payload) {
    if (payload.empty() || payload.size() > 32 || std::isspace(static_cast<unsigned char>(payload.front())))
        return std::nullopt;
    // Home Assistant writes numbers with a point whatever the wall's locale.
    double percent = 0;
    const auto [end, error] = std::from_chars(payload.data(), payload.data() + payload.size(), percent);
    if (error != std::errc() || end != payload.data() + payload.size() || !std::isfinite(percent) || percent < 30 ||
        percent > 300)
        return std::nullopt;
    return percent;
}

std::string quoted_payload(const std::string& payload) {
    const std::size_t shown = prefix_bytes(payload, 60);
    std::string line = address_without_credentials(payload.substr(0, shown));
    std::replace_if(line.begin(), line.end(), [](unsigned char c) { return c < 0x20; }, ' ');
    return "\"" + line + (shown < payload.size() ? "…\"" : "\"");
}

unsigned reconnect_delay_seconds(unsigned failures) { return failures >= 6 ? 60 : 1u << failures; }

}  // namespace remote
