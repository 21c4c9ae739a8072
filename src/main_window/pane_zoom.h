#pragma once
// Keeps the four panes' zoom across restarts, in the zoom file of the settings file
// the wall uses (settings/zoom_file.h): read at start and whenever the wall takes
// another settings file, written a second after the last change, so that a run of
// clicks on the wheel is one write. A file that cannot be written costs one line on
// standard error; the zoom stays for this run.

#include <array>
#include <filesystem>

#include <sigc++/connection.h>

#include "browser_pane/browser_pane.h"
#include "settings/zoom_file.h"

class PaneZoom {
public:
    // Nothing is read until use_file.
    explicit PaneZoom(const std::array<BrowserPane*, 4>& panes);
    // A change not yet written is written now.
    ~PaneZoom();
    PaneZoom(const PaneZoom&) = delete;
    PaneZoom& operator=(const PaneZoom&) = delete;

    // The wall now uses settings_file (read at start, or loaded): its zoom goes to
    // the panes. A change still pending for the file used before goes there first.
    void use_file(const std::filesystem::path& settings_file);
    // The wall's settings were saved as settings_file: its zoom file is written now
    // and is the one written from then on.
    void save_for(const std::filesystem::path& settings_file);
    // The settings file whose zoom the panes have: the last one used or saved.
    const std::filesystem::path& settings_file() const { return settings_file_; }
    // Pane n (1..4) at factor (1.0 is 100 %), rounded to the nearest step; false for
    // a pane that does not exist. For commands from outside the window.
    bool set(int pane, double factor);

private:
    void changed();
    void write();

    std::array<BrowserPane*, 4> panes_;
    std::filesystem::path settings_file_;
    std::filesystem::path file_;
    bool applying_ = false;
    sigc::connection pending_;
};
