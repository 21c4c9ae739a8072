// The search box's address from any query: only unreserved characters and %XX
// escapes stand for the query, and decoding them gives the query back.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "search/percent_encoding.h"
#include "search/search_address.h"

namespace {

bool is_unreserved(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;  // lower-case hex is not what the encoder writes
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view query(reinterpret_cast<const char*>(data), size);
    const std::string encoded = percent_encode(query);
    std::string decoded;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (is_unreserved(encoded[i])) {
            decoded += encoded[i];
            continue;
        }
        if (encoded[i] != '%' || i + 2 >= encoded.size() || hex_value(encoded[i + 1]) < 0 || hex_value(encoded[i + 2]) < 0)
            std::abort();
        decoded += static_cast<char>(hex_value(encoded[i + 1]) * 16 + hex_value(encoded[i + 2]));
        i += 2;
    }
    if (decoded != query) std::abort();
    // The query is the value of "query" and stays out of the other parts of the address.
    const std::string address = search_address(query);
    if (!address.ends_with("?query=" + encoded + "&modlist=web") || address.find('#') != std::string::npos)
        std::abort();
    return 0;
}
