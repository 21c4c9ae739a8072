#pragma once
// What the rest of the program may ask of a browser pane. Every operation returns
// at once and answers false when the pane cannot do it now (no document yet, page
// still loading); nothing here throws.

#include <array>
#include <optional>
#include <string>

// Who asked for a reload: a person at the wall (the Refresh entry), or the countdown,
// a remote request or the pane's own retries, with nobody at the screen to answer.
enum class ReloadCause { schedule, person };

class Pane {
public:
    virtual ~Pane() = default;

    // Starts loading the address, passed unchanged.
    virtual bool navigate(const std::string& address) = 0;
    // Reloads the current page.
    virtual bool refresh(ReloadCause cause) = 0;
    // No dialogs of the pane's own from then on.
    virtual bool set_silent(bool silent) = 0;
    // Scrolls the page's viewport; an absent offset is left as it is.
    virtual bool set_body_scroll(std::optional<double> left, std::optional<double> top) = 0;
};

// The four panes by number: panes[0] is pane 1 (top-left) ... panes[3] pane 4.
using PaneSet = std::array<Pane*, 4>;
