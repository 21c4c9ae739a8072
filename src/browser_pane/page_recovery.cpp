#include "browser_pane/page_recovery.h"

#include <algorithm>

#include <glibmm/datetime.h>
#include <glibmm/main.h>

#include "browser_pane/failure_texts.h"

namespace {

std::string clock_time(const char* format, RecoveryTimes::Delay from_now = RecoveryTimes::Delay::zero()) {
    return Glib::DateTime::create_now_local()
        .add_seconds(std::chrono::duration<double>(from_now).count())
        .format(format);
}

sigc::connection after(RecoveryTimes::Delay delay, const sigc::slot<void>& work) {
    return Glib::signal_timeout().connect(
        [work] {
            work();
            return false;
        },
        static_cast<unsigned>(delay.count()));
}

}  // namespace

PageRecovery::PageRecovery(WebKitWebView* view, StaleStrip& strip, const RecoveryTimes& times)
    : view_(WEBKIT_WEB_VIEW(g_object_ref(view))), strip_(strip), times_(times), retries_(times.retry_delays),
      restarts_(times.restart_delays) {
    g_signal_connect(view_, "load-failed", G_CALLBACK(&PageRecovery::on_load_failed), this);
    g_signal_connect(view_, "load-changed", G_CALLBACK(&PageRecovery::on_load_changed), this);
    g_signal_connect(view_, "decide-policy", G_CALLBACK(&PageRecovery::on_decide_policy), this);
    g_signal_connect(view_, "web-process-terminated", G_CALLBACK(&PageRecovery::on_process_terminated), this);
    g_signal_connect(view_, "notify::is-web-process-responsive", G_CALLBACK(&PageRecovery::on_responsive_changed),
                     this);
    heartbeat_ = Glib::signal_timeout().connect(
        [this] {
            check_answering();
            return true;
        },
        static_cast<unsigned>(std::max<long long>(times.unresponsive_limit.count() / 3, 1)));
}

PageRecovery::~PageRecovery() {
    g_signal_handlers_disconnect_by_data(view_, this);
    stop_pending_attempts();
    stays_up_.disconnect();
    unresponsive_.disconnect();
    heartbeat_.disconnect();
    g_object_unref(view_);
}

void PageRecovery::load(const std::string& address) {
    address_ = address;
    failure_.clear();
    stop_pending_attempts();
    webkit_web_view_load_uri(view_, address_.c_str());
}

bool PageRecovery::reload() {
    if (address_.empty())
        return false;
    stop_pending_attempts();
    attempt();
    return true;
}

void PageRecovery::stop_pending_attempts() {
    retries_.reset();
    retry_.disconnect();
    // The restart sequence goes on: a page that keeps crashing still waits longer each time.
    restart_.disconnect();
    own_page_next_ = false;
}

void PageRecovery::attempt() {
    // A reload keeps the page's place in the history; anything else starts from the address.
    if (!shown_.empty() && shown_ == address_)
        webkit_web_view_reload(view_);
    else
        webkit_web_view_load_uri(view_, address_.c_str());
}

bool PageRecovery::is_failure(const GError* error) const {
    // Another load took over: nothing failed.
    if (g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED))
        return false;
    // A response the guard or this class would not show: only a refused server error counts.
    if (g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE))
        return refused_answer_;
    return true;
}

gboolean PageRecovery::on_load_failed(WebKitWebView*, WebKitLoadEvent, gchar*, GError* error, gpointer data) {
    auto* self = static_cast<PageRecovery*>(data);
    if (self->is_failure(error)) {
        self->failure_ = self->refused_answer_ ? "il server risponde con un errore" : error->message;
        self->failed();
    }
    self->refused_answer_ = false;
    // Handled: no engine error page, ever.
    return TRUE;
}

void PageRecovery::failed() {
    committed_ok_ = false;
    retry_.disconnect();
    const auto delay = retries_.next();
    retry_ = after(delay, [this] { attempt(); });
    if (!shown_.empty())
        strip_.show(stale_strip_text(last_good_));
    else
        show_own_page(clock_time("%H:%M:%S", delay));
}

void PageRecovery::show_own_page(const std::string& next_attempt_time) {
    own_page_next_ = true;
    // Under the real address, so that the view names the address the pane means.
    const std::string page = unreachable_page_html(address_, next_attempt_time);
    webkit_web_view_load_alternate_html(view_, page.c_str(), address_.c_str(), nullptr);
}

void PageRecovery::on_load_changed(WebKitWebView* view, WebKitLoadEvent event, gpointer data) {
    auto* self = static_cast<PageRecovery*>(data);
    // Decided from what committed, whatever order WebKit reports a failed load and the
    // page of our own that replaces it.
    if (event == WEBKIT_LOAD_COMMITTED) {
        const bool own_page = self->own_page_next_;
        self->own_page_next_ = false;
        self->own_page_shown_ = own_page;
        const char* uri = webkit_web_view_get_uri(view);
        self->shown_ = own_page || !uri ? "" : uri;
        self->committed_ok_ = !own_page;
        self->process_up_ = true;
    } else if (event == WEBKIT_LOAD_FINISHED && self->committed_ok_) {
        self->committed_ok_ = false;
        self->succeeded();
    }
}

void PageRecovery::succeeded() {
    last_good_ = clock_time("%H:%M");
    failure_.clear();
    strip_.hide();
    retries_.reset();
    retry_.disconnect();
    if (restarts_.running()) {
        stays_up_.disconnect();
        stays_up_ = after(times_.stays_up, [this] { restarts_.reset(); });
    }
}

gboolean PageRecovery::on_decide_policy(WebKitWebView*, WebKitPolicyDecision* decision,
                                        WebKitPolicyDecisionType type, gpointer data) {
    auto* self = static_cast<PageRecovery*>(data);
    if (type != WEBKIT_POLICY_DECISION_TYPE_RESPONSE || self->shown_.empty())
        return FALSE;
    auto* response_decision = WEBKIT_RESPONSE_POLICY_DECISION(decision);
    if (!webkit_response_policy_decision_is_main_frame_main_resource(response_decision))
        return FALSE;
    WebKitURIResponse* response = webkit_response_policy_decision_get_response(response_decision);
    const char* uri = webkit_uri_response_get_uri(response);
    // A server in trouble answers a reload with an error page of its own; the page
    // already shown is worth more. A new address shows whatever its server says.
    if (webkit_uri_response_get_status_code(response) < 500 || !uri || self->shown_ != uri)
        return FALSE;
    self->refused_answer_ = true;
    webkit_policy_decision_ignore(decision);
    return TRUE;
}

void PageRecovery::on_process_terminated(WebKitWebView*, WebKitWebProcessTerminationReason, gpointer data) {
    static_cast<PageRecovery*>(data)->process_ended();
}

void PageRecovery::process_ended() {
    // Crashed, hung and ended, or past its memory limit: the page is gone either way.
    failure_ = "il processo della pagina è terminato";
    shown_.clear();
    committed_ok_ = false;
    process_up_ = false;
    ping_sent_.reset();
    strip_.hide();
    stays_up_.disconnect();
    unresponsive_.disconnect();
    retry_.disconnect();
    if (address_.empty() || restart_.connected())
        return;
    restart_ = after(restarts_.next(), [this] { attempt(); });
}

void PageRecovery::on_responsive_changed(GObject*, GParamSpec*, gpointer data) {
    auto* self = static_cast<PageRecovery*>(data);
    if (webkit_web_view_get_is_web_process_responsive(self->view_)) {
        self->unresponsive_.disconnect();
        return;
    }
    if (self->unresponsive_.connected())
        return;
    self->unresponsive_ = after(self->times_.unresponsive_limit, [self] {
        // Ending it reports a terminated process, which restarts the page.
        if (!webkit_web_view_get_is_web_process_responsive(self->view_))
            webkit_web_view_terminate_web_process(self->view_);
    });
}

namespace {

struct PendingPing {
    std::weak_ptr<bool> alive;
    PageRecovery* recovery;
};

}  // namespace

void PageRecovery::check_answering() {
    if (!process_up_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (!ping_sent_) {
        ping_sent_ = now;
        webkit_web_view_evaluate_javascript(view_, "0", 1, nullptr, nullptr, nullptr, &PageRecovery::on_pong,
                                            new PendingPing{alive_, this});
    } else if (now - *ping_sent_ >= times_.unresponsive_limit) {
        // Ending it reports a terminated process, which restarts the page.
        webkit_web_view_terminate_web_process(view_);
    }
}

void PageRecovery::on_pong(GObject* view, GAsyncResult* result, gpointer data) {
    std::unique_ptr<PendingPing> pending(static_cast<PendingPing*>(data));
    // Any answer will do, an error included: the process read the request.
    if (JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, nullptr))
        g_object_unref(value);
    if (!pending->alive.expired())
        pending->recovery->ping_sent_.reset();
}
