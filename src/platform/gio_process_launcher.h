#pragma once
// ProcessLauncher over GLib's process spawning and GIO's default-application
// lookup. Children start without a shell and are reaped by the main loop once they
// end; nothing waits for them. Failures come back as false, never as exceptions.

#include "platform/process_launcher.h"

namespace platform {

class GioProcessLauncher : public ProcessLauncher {
public:
    // A bare program name (no "/") is looked up on PATH.
    bool start(const std::vector<std::string>& argv, const std::string& working_dir) override;
    bool open_uri(const std::string& uri) override;
};

}  // namespace platform
