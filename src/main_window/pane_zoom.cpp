#include "main_window/pane_zoom.h"

#include <glibmm/main.h>

#include <iostream>

#include "zoom/zoom_steps.h"

namespace {
constexpr unsigned kWriteDelayMs = 1000;
}  // namespace

PaneZoom::PaneZoom(const std::array<BrowserPane*, 4>& panes) : panes_(panes) {
    for (BrowserPane* pane : panes_)
        pane->signal_zoom_changed().connect([this](int) { changed(); });
}

PaneZoom::~PaneZoom() {
    if (pending_.connected()) write();
    pending_.disconnect();
}

void PaneZoom::use_file(const std::filesystem::path& settings_file) {
    if (pending_.connected()) write();
    settings_file_ = settings_file;
    file_ = settings::zoom_file_for(settings_file);
    const settings::ZoomRead read = settings::read_zoom_file(file_);
    if (!read.complaint.empty()) std::cerr << read.complaint << '\n';
    // What was just read needs no writing back.
    applying_ = true;
    for (std::size_t n = 0; n < panes_.size(); ++n) panes_[n]->set_zoom(read.percent[n]);
    applying_ = false;
}

void PaneZoom::save_for(const std::filesystem::path& settings_file) {
    settings_file_ = settings_file;
    file_ = settings::zoom_file_for(settings_file);
    write();
}

bool PaneZoom::set(int pane, double factor) {
    if (pane < 1 || pane > static_cast<int>(panes_.size())) return false;
    panes_[static_cast<std::size_t>(pane - 1)]->set_zoom(nearest_zoom_step(factor));
    return true;
}

void PaneZoom::changed() {
    if (applying_ || file_.empty()) return;
    pending_.disconnect();
    pending_ = Glib::signal_timeout().connect([this] {
        write();
        return false;
    }, kWriteDelayMs);
}

void PaneZoom::write() {
    pending_.disconnect();
    if (file_.empty()) return;
    settings::PaneZooms percent{};
    for (std::size_t n = 0; n < panes_.size(); ++n) percent[n] = panes_[n]->zoom();
    // An installed program's settings folder does not exist until something is saved
    // in it, and zooming is often the first thing a wall keeps.
    std::error_code ignored;
    if (std::filesystem::create_directories(file_.parent_path(), ignored))
        std::filesystem::permissions(file_.parent_path(), std::filesystem::perms::owner_all, ignored);
    if (const auto complaint = settings::write_zoom_file(file_, percent)) std::cerr << *complaint << '\n';
}
