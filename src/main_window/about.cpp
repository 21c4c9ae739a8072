#include "main_window/about.h"

#include "maker_site.h"

std::string about_text() {
    return std::string("Orvalis ") + ORVALIS_VERSION + "\n" +
           "Quattro pagine web sempre sott'occhio, ricaricate e riposizionate da sole.\n" +
           "\n" +
           "E-Mail = " + std::string(maker_site::kMail) + "\n" + std::string(maker_site::kHomePage);
}
