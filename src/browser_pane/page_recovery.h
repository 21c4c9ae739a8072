#pragma once
// Keeps a pane showing something readable, unattended, whatever its page does.
// A load that fails keeps the page already shown (with the stale strip over it), or
// shows a page of our own when there is none, and is tried again after growing
// delays. A 5xx answer to a reload of the page shown counts as such a failure. A page
// process that crashes, stops answering or outgrows its memory is restarted after
// growing delays. Engine error pages never show. Scroll writes and the pane's
// operations are BrowserPane's; this only loads and reloads.

#include <sigc++/connection.h>
#include <webkit2/webkit2.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "browser_pane/pane_health.h"
#include "browser_pane/recovery_schedule.h"
#include "browser_pane/stale_strip.h"

class PageRecovery {
public:
    // strip must outlive this; the view is kept alive until then.
    PageRecovery(WebKitWebView* view, StaleStrip& strip, const RecoveryTimes& times);
    ~PageRecovery();
    PageRecovery(const PageRecovery&) = delete;
    PageRecovery& operator=(const PageRecovery&) = delete;

    // A new address: loads it and ends the retry sequence.
    void load(const std::string& address);
    // Loads the pane's address again now, ending the retry sequence; false when it has none.
    bool reload();
    // The document committed last is a page of our own, not the address's.
    bool showing_own_page() const { return own_page_shown_; }

    PaneHealth health() const { return {address_, last_good_, failure_}; }

private:
    static gboolean on_load_failed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error, gpointer self);
    static void on_load_changed(WebKitWebView*, WebKitLoadEvent event, gpointer self);
    static gboolean on_decide_policy(WebKitWebView*, WebKitPolicyDecision*, WebKitPolicyDecisionType, gpointer self);
    static void on_process_terminated(WebKitWebView*, WebKitWebProcessTerminationReason, gpointer self);
    static void on_responsive_changed(GObject*, GParamSpec*, gpointer self);
    static void on_pong(GObject* view, GAsyncResult* result, gpointer pending);

    bool is_failure(const GError* error) const;
    void failed();
    void succeeded();
    void process_ended();
    void attempt();
    void show_own_page(const std::string& next_attempt_time);
    void stop_pending_attempts();
    void check_answering();

    WebKitWebView* view_;
    StaleStrip& strip_;
    RecoveryTimes times_;
    BackoffSequence retries_;
    BackoffSequence restarts_;
    // What the pane is meant to show, whatever the view shows now.
    std::string address_;
    // The address of the page shown, loaded from the network, whose process still runs.
    std::string shown_;
    // "HH:MM" of the last load that succeeded.
    std::string last_good_;
    // Why the last attempt failed or the page went away, until the next good load.
    std::string failure_;
    // The next commit is the page of our own.
    bool own_page_next_ = false;
    bool own_page_shown_ = false;
    // A page from the network committed and has not failed since.
    bool committed_ok_ = false;
    // The current response was refused as a server error on a reload.
    bool refused_answer_ = false;
    // A page process that runs nothing else answers a ping at once. WebKit notices a
    // process that stopped answering only when it sends it something itself (a
    // reload, input), which a wall screen may never do; the ping asks regularly.
    bool process_up_ = false;
    std::optional<std::chrono::steady_clock::time_point> ping_sent_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    sigc::connection retry_, restart_, stays_up_, unresponsive_, heartbeat_;
};
