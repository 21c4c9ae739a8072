#include "search/search_address.h"

#include "maker_site.h"
#include "search/percent_encoding.h"

std::string search_address(std::string_view query) {
    std::string address = "http://";
    address += maker_site::kSearchHost;
    address += "/cgi-bin/ricerca/meta.pl?query=";
    address += percent_encode(query);
    address += "&modlist=web";
    return address;
}
