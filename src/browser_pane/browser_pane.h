#pragma once
// A pane over a WebKitGTK web view: the Pane operations, plus a few hooks for tests,
// benchmarks and diagnostics. WebKit stays behind the pimpl: users see gtkmm only.
// Laying the widget out and deciding when to navigate, reload or scroll are the caller's.

#include <memory>
#include <optional>
#include <string>

#include <gtkmm/widget.h>
#include <sigc++/signal.h>

#include "browser_pane/pane_health.h"
#include "browser_pane/pane.h"
#include "browser_pane/recovery/recovery_schedule.h"

class BrowserPane : public Pane {
public:
    BrowserPane();
    // times: how long to wait before trying a failed page again; tests shorten them.
    explicit BrowserPane(const RecoveryTimes& times);
    ~BrowserPane() override;
    BrowserPane(const BrowserPane&) = delete;
    BrowserPane& operator=(const BrowserPane&) = delete;

    // The view in its frame, with the stale strip over it, to put in a container.
    // The frame shows the view panned on pages whose document does not scroll but an element of them does (app
    // shells); after each load the pane decides anew whether the page is one, and
    // while the page has nothing to scroll, looks again on offset writes of the first
    // seconds after its load.
    Gtk::Widget& widget();

    // An empty address shows a blank page; anything else goes to the view unchanged.
    bool navigate(const std::string& address) override;
    // False when there is nothing to reload yet. Asked for by a person, a certificate not
    // trusted shows its page even over a page kept, so that it can be accepted there.
    bool refresh(ReloadCause cause) override;
    bool set_silent(bool silent) override;
    // False, and nothing written, until a document has committed and finished loading,
    // or when an offset is not a finite number. The write itself lands asynchronously;
    // a document without a scrolling element ignores it. Offsets the page already
    // shows, and has not left since the last write, are not written again, though
    // never for more than four calls in a row.
    // On an app shell the offsets pan the view instead; see app_shell.h.
    bool set_body_scroll(std::optional<double> left, std::optional<double> top) override;

    // The pane's zoom in percent, always one of kZoomSteps (zoom_steps.h); another
    // value is taken as the nearest step. The page shows at it, text and images
    // together; pages of our own show at 100 % whatever it is. Stored offsets stay
    // page pixels, so the pane is held on the same region at any zoom.
    // Ctrl with the wheel over the pane, or Ctrl with minus, plus (or =) or 0 while
    // it has the keyboard, change it too. A change shows the new value for a moment.
    int zoom() const;
    void set_zoom(int percent);
    // Each change of the zoom, by whatever means, with the new value.
    sigc::signal<void(int)>& signal_zoom_changed();

    // Asleep while the wall is dark: the view is unmapped, so that its page sees
    // itself hidden and slows down as a background tab does, and nothing loads. A
    // load asked for meanwhile, and the retry of a failed page, start on waking.
    void set_asleep(bool asleep);

    // For tests, benchmarks and diagnostics:
    // each finished main-frame load, success or failure.
    sigc::signal<void()>& signal_load_finished();
    bool is_loading() const;
    std::string uri() const;
    // The address the pane means, when it last loaded well and what failed since.
    PaneHealth health() const;

    // The address of each new window a page asks for on the user's own click (a
    // target=_blank link, window.open). The pane opens none itself: with nothing
    // connected, the request goes nowhere.
    sigc::signal<void(const std::string&)>& signal_new_window();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
