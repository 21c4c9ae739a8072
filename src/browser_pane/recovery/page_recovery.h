#pragma once
// Keeps a pane showing something readable, unattended, whatever its page does.
// A load that fails keeps the page already shown (with the stale strip over it), or
// shows a page of our own with the reason when there is none (a first load, a new
// address, our own page, a restart), and is tried again after growing delays. A 5xx
// answer, from whatever address, and a load that does not commit in time count as
// such failures; an address the engine refuses is not tried again by itself. A page
// process that crashes, stops answering or outgrows its memory is restarted after
// growing delays. A certificate that is not trusted gives a page of our own that
// can trust it (or the strip, on the reload of a page shown), and is tried again as
// a failed load is. A response in a type no pane shows is a failed load too. Loads
// wait for the session cookies of the last run. Engine error pages never show. Scroll writes and the pane's operations
// are BrowserPane's; this only loads and reloads.

#include <sigc++/connection.h>
#include <webkit2/webkit2.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "browser_pane/pane_health.h"
#include "browser_pane/recovery/certificate_page.h"
#include "browser_pane/recovery/failure_texts.h"
#include "browser_pane/recovery/recovery_schedule.h"
#include "browser_pane/recovery/stale_strip.h"

class PageRecovery {
public:
    // strip must outlive this; the view is kept alive until then.
    PageRecovery(WebKitWebView* view, StaleStrip& strip, const RecoveryTimes& times);
    ~PageRecovery();
    PageRecovery(const PageRecovery&) = delete;
    PageRecovery& operator=(const PageRecovery&) = delete;

    // A new address: loads it and ends the retry sequence.
    void load(const std::string& address);
    // Loads the pane's address again now, ending the retry sequence; false when it has
    // none. Asked for by a person, a certificate not trusted shows its page even over a
    // page kept, so that it can be accepted there.
    bool reload(bool by_person = false);
    // The view's response policy: true when it decided (a server error is refused).
    bool decide_policy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type);
    // Shows a page of our own under the pane's address that is no failed load (a login
    // the pane cannot give): nothing is tried again by itself.
    void show_page_of_our_own(const std::string& html);
    // The document committed last is a page of our own, not the address's.
    bool showing_own_page() const { return own_page_shown_; }
    PaneHealth health() const { return {address_, last_good_, failure_, {}}; }
    // Asleep (the wall is dark), no load starts: the last one asked for, by a person,
    // a retry or a restart, starts on waking, as does the retry of a failed page.
    void set_asleep(bool asleep);

private:
    static gboolean on_load_failed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error, gpointer self);
    static void on_load_changed(WebKitWebView*, WebKitLoadEvent event, gpointer self);
    static void on_process_terminated(WebKitWebView*, WebKitWebProcessTerminationReason, gpointer self);
    static void on_responsive_changed(GObject*, GParamSpec*, gpointer self);
    static void on_pong(GObject* view, GAsyncResult* result, gpointer pending);
    static gboolean on_tls_errors(WebKitWebView*, gchar* failing_uri, GTlsCertificate*, GTlsCertificateFlags,
                                  gpointer self);

    std::optional<LoadFailure> failure_of(const GError* error) const;
    void failed(const LoadFailure& failure);
    void succeeded();
    void process_ended();
    void attempt(bool by_person = false);
    void load_now(bool by_person);
    // Schedules the next attempt on the failure schedule; returns its "HH:MM:SS".
    std::string retry_later();
    void show_own_page(const std::string& reason, const std::string& next_attempt_time);
    void stop_pending_attempts();
    void check_answering();

    WebKitWebView* view_;
    StaleStrip& strip_;
    RecoveryTimes times_;
    BackoffSequence retries_;
    BackoffSequence restarts_;
    // What the pane is meant to show, whatever the view shows now.
    std::string address_;
    // A page of the address, loaded from the network, shows and its process still runs;
    // it may have been redirected or have rewritten its own address since.
    bool showing_good_ = false;
    // The page shown answered a form sent with POST; the latest navigation is one.
    bool shown_by_post_ = false;
    bool next_by_post_ = false;
    // "HH:MM" of the last page from the network that committed.
    std::string last_good_;
    // Why the last attempt failed or the page went away, until the next good load.
    std::string failure_;
    // The next commit is the page of our own.
    bool own_page_next_ = false;
    bool own_page_shown_ = false;
    // A page from the network committed and has not failed since.
    bool committed_ok_ = false;
    // The status of the current response, refused as a server error; 0 when none was.
    int refused_status_ = 0;
    // The type of the current response, refused as one no pane shows; empty when none was.
    std::string refused_type_;
    // The current load was stopped for taking too long.
    bool timed_out_ = false;
    // The current load was asked for by a person.
    bool by_person_ = false;
    CertificatePage certificate_page_;
    // A page process that runs nothing else answers a ping at once. WebKit notices a
    // process that stopped answering only when it sends it something itself (a
    // reload, input), which a wall screen may never do; the ping asks regularly.
    bool process_up_ = false;
    // Heartbeats since the unanswered ping went out. Counted, not timed: after this
    // program's own thread stalled, the answer may be waiting in its queue.
    std::optional<int> ping_beats_;
    bool asleep_ = false;
    std::optional<bool> held_attempt_;  // by a person or not
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    sigc::connection cookies_wait_, retry_, restart_, stays_up_, unresponsive_, heartbeat_, load_limit_;
};
