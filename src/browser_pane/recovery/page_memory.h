#pragma once
// The memory a page's process may use before the web engine ends it: 1 GiB unless
// ORVALIS_PAGE_MEMORY_MIB says otherwise. Reading the environment once and handing
// the limit to the engine are the caller's.

#include <string>

inline constexpr const char* kPageMemoryVariable = "ORVALIS_PAGE_MEMORY_MIB";
inline constexpr unsigned kDefaultPageMemoryMib = 1024;
// Below this no page would load; above it the limit would never be reached (1 TiB).
inline constexpr unsigned kMinPageMemoryMib = 64;
inline constexpr unsigned kMaxPageMemoryMib = 1024 * 1024;

struct PageMemoryLimit {
    unsigned mib = kDefaultPageMemoryMib;
    // One line for standard error when the value was set but unusable; empty otherwise.
    std::string complaint;
};

// value is the variable's text, or null when it is not set. A whole number of MiB in
// range, blanks around it allowed; anything else gives the default and a complaint.
PageMemoryLimit page_memory_limit(const char* value);
