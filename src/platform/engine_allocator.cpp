#include "platform/engine_allocator.h"

#include <unistd.h>

#include <cstdlib>

namespace platform {

namespace {
constexpr const char* kChoice = "Malloc";
// Tells the image started again that the choice is ours to remove, not the user's.
constexpr const char* kOursToRemove = "ORVALIS_ENGINE_MALLOC";
}  // namespace

void send_engine_allocations_through_malloc(char** argv) {
    if (std::getenv(kOursToRemove)) {
        unsetenv(kChoice);
        unsetenv(kOursToRemove);
        return;
    }
    if (std::getenv(kChoice)) return;
    setenv(kChoice, "1", 1);
    setenv(kOursToRemove, "1", 1);
    execv("/proc/self/exe", argv);
    unsetenv(kChoice);
    unsetenv(kOursToRemove);
}

}  // namespace platform
