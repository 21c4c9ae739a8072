#include "platform/engine_allocator.h"

#include <sys/auxv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace platform {

namespace {
constexpr const char* kChoice = "Malloc";
// Tells the image started again that the choice is ours to remove, not the user's.
constexpr const char* kOursToRemove = "ORVALIS_ENGINE_MALLOC";

// /proc/self/exe is the program only when the kernel started it itself. Started through
// the dynamic loader (`ld.so orvalis`), valgrind or qemu-user, it is that tool, which
// started again with our arguments would not run this program.
bool started_by_the_kernel() {
    const auto* name = reinterpret_cast<const char*>(getauxval(AT_EXECFN));
    struct stat started {}, running {};
    return name && stat(name, &started) == 0 && stat("/proc/self/exe", &running) == 0 &&
           started.st_dev == running.st_dev && started.st_ino == running.st_ino;
}
}  // namespace

void send_engine_allocations_through_malloc(char** argv) {
    if (std::getenv(kOursToRemove)) {
        unsetenv(kChoice);
        unsetenv(kOursToRemove);
        return;
    }
    if (std::getenv(kChoice) || !started_by_the_kernel()) return;
    setenv(kChoice, "1", 1);
    setenv(kOursToRemove, "1", 1);
    execv("/proc/self/exe", argv);
    unsetenv(kChoice);
    unsetenv(kOursToRemove);
}

}  // namespace platform
