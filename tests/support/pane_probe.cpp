#include "support/pane_probe.h"

#include <memory>

#include "support/wait_until.h"

bool wait_for_load(BrowserPane& pane, std::chrono::milliseconds deadline) {
    bool finished = false;
    sigc::connection watch = pane.signal_load_finished().connect([&finished] { finished = true; });
    const bool met = wait_until([&] { return finished && !pane.is_loading(); }, deadline);
    watch.disconnect();
    return met;
}

bool navigate_and_wait(BrowserPane& pane, const std::string& address, std::chrono::milliseconds deadline) {
    bool finished = false;
    sigc::connection watch = pane.signal_load_finished().connect([&finished] { finished = true; });
    const bool met = pane.navigate(address) &&
                     wait_until([&] { return finished && !pane.is_loading(); }, deadline);
    watch.disconnect();
    return met;
}

std::optional<std::string> script_result(BrowserPane& pane, const std::string& script,
                                         std::chrono::milliseconds deadline) {
    // Shared, so that an answer arriving after the deadline has somewhere to go.
    struct Answer {
        bool arrived = false;
        std::optional<std::string> text;
    };
    auto answer = std::make_shared<Answer>();
    pane.run_script(script, [answer](std::optional<std::string> text) {
        answer->arrived = true;
        answer->text = std::move(text);
    });
    if (!wait_until([&] { return answer->arrived; }, deadline))
        return std::nullopt;
    return answer->text;
}
