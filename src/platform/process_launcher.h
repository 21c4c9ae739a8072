#pragma once
// Starting other programs without waiting for them, and never through a shell.

#include <string>
#include <vector>

namespace platform {

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Starts argv[0] with the given arguments in working_dir (empty: ours).
    // False when it could not be started.
    virtual bool start(const std::vector<std::string>& argv, const std::string& working_dir) = 0;
    // Asks the user's default web browser to open the address and returns at once, without
    // waiting for the browser or the session bus. Only http and https addresses: others
    // are refused with one line on standard error. False when refused or when no
    // program handles the scheme.
    virtual bool open_uri(const std::string& uri) = 0;
};

// An http or https address (the scheme in any case): the only ones the program hands
// to the desktop. Every other scheme starts whatever program claims it.
bool web_address(const std::string& uri);

}  // namespace platform
