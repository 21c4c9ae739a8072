#pragma once
// The settings dialog's file chooser: one filter "Files di Configurazione (*.cfg)",
// proposes the settings file of the start at first and then the name last chosen; the user may pick an
// existing file or type a new name.

#include <optional>
#include <string>

namespace platform {

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The chosen full file name, or nothing when the user cancels.
    virtual std::optional<std::string> choose(const std::string& title) = 0;
};

}  // namespace platform
