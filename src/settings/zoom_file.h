#pragma once
// The zoom of the four panes, kept beside the settings file a wall uses and named
// after it (dati.cfg gets dati.cfg.zoom), so that each wall keeps its own and a
// settings file copied with it brings its zoom along. A GLib key file:
//
//     [Zoom]
//     Finestra1=75
//
// The settings file itself stays as other programs read it. Whatever the zoom file
// holds, reading it yields a zoom for every pane; what it could not give is 100 %.

#include <array>
#include <filesystem>
#include <optional>
#include <string>

namespace settings {

using PaneZooms = std::array<int, 4>;  // percent, panes 1..4

std::filesystem::path zoom_file_for(const std::filesystem::path& settings_file);

struct ZoomRead {
    PaneZooms percent{100, 100, 100, 100};
    // One line for standard error when the file is missing, unreadable, or has no
    // usable zoom for some pane; else empty.
    std::string complaint;
};

// A zoom from 30 to 300 % that is not one of the steps is taken as the nearest step.
ZoomRead read_zoom_file(const std::filesystem::path& file);

// Replaces the file whole; nothing on success, else one line for standard error.
std::optional<std::string> write_zoom_file(const std::filesystem::path& file, const PaneZooms& percent);

}  // namespace settings
