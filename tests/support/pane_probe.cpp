#include "support/pane_probe.h"

#include <gtkmm/bin.h>

#include <memory>

#include "support/wait_until.h"

// Watches from before start(), so that no finish is missed.
template <typename Start>
static bool load_finishes(BrowserPane& pane, Start start, std::chrono::milliseconds deadline) {
    bool finished = false;
    sigc::connection watch = pane.signal_load_finished().connect([&finished] { finished = true; });
    const bool met = start() && wait_until([&] { return finished && !pane.is_loading(); }, deadline);
    watch.disconnect();
    return met;
}

bool wait_for_load(BrowserPane& pane, std::chrono::milliseconds deadline) {
    return load_finishes(pane, [] { return true; }, deadline);
}

bool navigate_and_wait(BrowserPane& pane, const std::string& address, std::chrono::milliseconds deadline) {
    return load_finishes(pane, [&] { return pane.navigate(address); }, deadline);
}

std::optional<std::string> script_result(BrowserPane& pane, const std::string& script,
                                         std::chrono::milliseconds deadline) {
    // Shared, so that an answer arriving after the deadline has somewhere to go.
    auto answer = std::make_shared<std::optional<std::optional<std::string>>>();
    pane.run_script(script, [answer](std::optional<std::string> text) { answer->emplace(std::move(text)); });
    if (!wait_until([&] { return answer->has_value(); }, deadline))
        return std::nullopt;
    return **answer;
}

Gtk::Widget& page_view(BrowserPane& pane) {
    Gtk::Widget* widget = &pane.widget();
    while (auto* bin = dynamic_cast<Gtk::Bin*>(widget))
        widget = bin->get_child();
    return *widget;
}
