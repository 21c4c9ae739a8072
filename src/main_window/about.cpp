#include "main_window/about.h"

std::string about_text() {
    return std::string("Orvalis ") + ORVALIS_VERSION + "\n" +
           "Quattro pagine web sempre sott'occhio, ricaricate e riposizionate da sole.\n" +
           "\n" +
           "E-Mail = info@example.org\n" +
           "http://www.example.org/";
}
