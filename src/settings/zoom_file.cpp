#include "settings/zoom_file.h"

#include <glib.h>

#include <charconv>
#include <memory>

#include "zoom/zoom_steps.h"
#include "settings/atomic_file.h"
#include "settings/file_error_text.h"

namespace settings {
namespace {

constexpr const char* kGroup = "Zoom";

std::string key_for(std::size_t pane) { return "Finestra" + std::to_string(pane + 1); }

// Percent as written by hand or by us: "75", " 75 ", "75.5". Out of range is unusable.
std::optional<int> zoom_step_of(const char* text) {
    std::string_view value(text);
    while (!value.empty() && g_ascii_isspace(value.front())) value.remove_prefix(1);
    while (!value.empty() && g_ascii_isspace(value.back())) value.remove_suffix(1);
    double percent = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), percent);
    if (value.empty() || error != std::errc() || end != value.data() + value.size() ||
        !(percent >= kZoomSteps.front() && percent <= kZoomSteps.back()))
        return std::nullopt;
    return nearest_zoom_step(percent / 100);
}

std::string at_normal_zoom() { return "; restano al " + std::to_string(kNormalZoom) + " %"; }

}  // namespace

std::filesystem::path zoom_file_for(const std::filesystem::path& settings_file) {
    return settings_file.string() + ".zoom";
}

ZoomRead read_zoom_file(const std::filesystem::path& file) {
    ZoomRead read;
    const std::string name = quoted_file_name(file);
    std::unique_ptr<GKeyFile, decltype(&g_key_file_free)> keys(g_key_file_new(), &g_key_file_free);
    GError* error = nullptr;
    if (!g_key_file_load_from_file(keys.get(), file.c_str(), G_KEY_FILE_NONE, &error)) {
        read.complaint = g_error_matches(error, G_FILE_ERROR, G_FILE_ERROR_NOENT)
                             ? "orvalis: non c'è il file dello zoom " + name + ": le finestre sono al " +
                                   std::to_string(kNormalZoom) + " %"
                             : "orvalis: impossibile leggere il file dello zoom " + name + ": " + error->message +
                                   at_normal_zoom();
        g_error_free(error);
        return read;
    }
    std::string unusable;
    for (std::size_t pane = 0; pane < read.percent.size(); ++pane) {
        char* text = g_key_file_get_value(keys.get(), kGroup, key_for(pane).c_str(), nullptr);
        const auto step = text ? zoom_step_of(text) : std::nullopt;
        g_free(text);
        if (step)
            read.percent[pane] = *step;
        else
            unusable += (unusable.empty() ? " " : ", ") + std::to_string(pane + 1);
    }
    if (!unusable.empty())
        read.complaint = "orvalis: il file dello zoom " + name + " non dà uno zoom da " +
                         std::to_string(kZoomSteps.front()) + " a " + std::to_string(kZoomSteps.back()) +
                         " % per le finestre" + unusable + at_normal_zoom();
    return read;
}

std::optional<std::string> write_zoom_file(const std::filesystem::path& file, const PaneZooms& percent) {
    std::unique_ptr<GKeyFile, decltype(&g_key_file_free)> keys(g_key_file_new(), &g_key_file_free);
    for (std::size_t pane = 0; pane < percent.size(); ++pane)
        g_key_file_set_integer(keys.get(), kGroup, key_for(pane).c_str(), percent[pane]);
    g_key_file_set_comment(keys.get(), nullptr, nullptr, " Zoom delle quattro finestre, in percento", nullptr);
    gsize length = 0;
    char* data = g_key_file_to_data(keys.get(), &length, nullptr);
    const std::string content(data, length);
    g_free(data);
    if (const auto reason = replace_file_content(file, content))
        return "orvalis: impossibile salvare lo zoom nel file " + quoted_file_name(file) + ": " + *reason +
               "; resta fino alla chiusura";
    return std::nullopt;
}

}  // namespace settings
