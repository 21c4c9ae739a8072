#include "browser_pane/browser_pane.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "browser_pane/login/pane_login.h"
#include "browser_pane/panning/app_shell.h"
#include "browser_pane/page_guard.h"
#include "browser_pane/panning/pan_frame.h"
#include "browser_pane/recovery/page_recovery.h"
#include "browser_pane/pane_web_view.h"
#include "browser_pane/scroll_script.h"
#include "browser_pane/recovery/stale_strip.h"
#include "browser_pane/zoom/zoom_label.h"
#include "zoom/zoom_steps.h"
#include "text/text_encoding.h"
#include "text/address_text.h"

namespace {

using Clock = std::chrono::steady_clock;

// A page may stop its scroll events from reaching the watch script: however long it
// seems to hold its offsets, they are written again after this many skipped writes.
constexpr int kMostSkippedWrites = 4;

// Many dashboards fill their list from a request after the load: a page found with
// nothing to scroll at all is looked at again on later offset writes, at most once
// per gap, for a while after its load.
constexpr auto kLateProbeGap = std::chrono::seconds(1);
constexpr auto kLateProbeSpan = std::chrono::seconds(15);

bool usable_offset(const std::optional<double>& offset) { return !offset || std::isfinite(*offset); }

// Ctrl alone makes a key or the wheel the pane's zoom; with Alt or Super it stays the page's.
bool zoom_modifier(guint state) {
    return (state & (GDK_CONTROL_MASK | GDK_MOD1_MASK | GDK_SUPER_MASK)) == GDK_CONTROL_MASK;
}

}  // namespace

struct BrowserPane::Impl {
    explicit Impl(const RecoveryTimes& times)
        : view(new_pane_web_view()), zoom_label(frame), strip(zoom_label.widget()), recovery(view, strip, times),
          login(view, strip, recovery) {
        gtk_container_add(GTK_CONTAINER(frame.gobj()), GTK_WIDGET(view));
        gtk_widget_show(GTK_WIDGET(view));
    }

    WebKitWebView* view;
    // The view sits in the frame, which pans it on pages that hold their region
    // only that way; the zoom label and the stale strip lie over the frame.
    PanFrame frame;
    ZoomLabel zoom_label;
    StaleStrip strip;
    PageRecovery recovery;
    // Before the guard, which refuses every log-in prompt of a silent pane.
    PaneLogin login;
    GCancellable* cancellable = g_cancellable_new();
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    PageGuard guard;
    // A document has committed and its process still runs.
    bool has_document = false;
    sigc::signal<void()> load_finished;

    // Each scroll write is a round trip to the web process, four a second for days:
    // an offset the page already shows, and has not left since, is not written again.
    // The watch script tells when the page left it.
    std::optional<double> written_left;
    std::optional<double> written_top;
    bool page_holds_written = false;
    int skipped_writes = 0;
    // Numbers the writes, so that only the latest one's answer counts; a new
    // document also moves it on, past writes to the old one.
    unsigned write_count = 0;

    void forget_written() {
        page_holds_written = false;
        ++write_count;
    }

    struct PendingScroll {
        std::weak_ptr<bool> pane_alive;
        Impl* impl;
        unsigned write;
    };
    static void on_scroll_message(WebKitUserContentManager*, WebKitJavascriptResult*, gpointer data);
    static void finish_scroll(GObject* view, GAsyncResult* result, gpointer data);

    // Numbers the probes, so that only the latest one's answer counts.
    unsigned probe_count = 0;
    bool probe_pending = false;
    bool look_again = false;
    Clock::time_point last_probe;
    Clock::time_point loaded_at;
    void probe_page();
    static void finish_probe(GObject* view, GAsyncResult* result, gpointer data);

    int zoom = kNormalZoom;
    sigc::signal<void(int)> zoom_changed;
    // Smooth scrolling (touchpads) comes in fractions of a wheel click: a step is taken
    // once they add up to a whole one.
    double smooth_scroll = 0;
    void apply_zoom();
    void change_zoom(int percent);
    static gboolean on_key_press(GtkWidget*, GdkEventKey* event, gpointer data);
    static gboolean on_scroll(GtkWidget*, GdkEventScroll* event, gpointer data);

    static void on_load_changed(WebKitWebView*, WebKitLoadEvent event, gpointer data);
    static gboolean on_decide_policy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                     gpointer data);
    static void on_process_terminated(WebKitWebView*, WebKitWebProcessTerminationReason, gpointer data);
};

void BrowserPane::Impl::on_load_changed(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
    auto* impl = static_cast<Impl*>(data);
    if (event == WEBKIT_LOAD_COMMITTED) {
        // Whether the new document is a page of our own is known from here on.
        impl->apply_zoom();
        impl->has_document = true;
        impl->forget_written();
        ++impl->probe_count;
        impl->probe_pending = false;
        impl->look_again = false;
    }
    if (event != WEBKIT_LOAD_FINISHED)
        return;
    impl->look_again = true;
    impl->loaded_at = Clock::now();
    impl->probe_page();
    try {
        impl->load_finished.emit();
    } catch (...) {
        // Nothing may unwind into the GLib main loop.
    }
}

void BrowserPane::Impl::apply_zoom() {
    // Our own pages stay readable at any zoom of the pane.
    const double level = recovery.showing_own_page() ? 1.0 : zoom / 100.0;
    webkit_web_view_set_zoom_level(view, level);
    frame.set_zoom(level);
}

void BrowserPane::Impl::change_zoom(int percent) {
    percent = nearest_zoom_step(percent / 100.0);
    if (percent == zoom)
        return;
    zoom = percent;
    apply_zoom();
    zoom_label.show(percent);
    // The page may have moved under the new zoom, and a panned page measures its
    // pane in page pixels: write again, and look again at how to hold it.
    forget_written();
    if (has_document && !webkit_web_view_is_loading(view))
        probe_page();
    try {
        zoom_changed.emit(percent);
    } catch (...) {
        // Nothing may unwind into the GLib main loop.
    }
}

gboolean BrowserPane::Impl::on_key_press(GtkWidget*, GdkEventKey* event, gpointer data) {
    if (!zoom_modifier(event->state))
        return FALSE;
    auto* impl = static_cast<Impl*>(data);
    switch (event->keyval) {
    case GDK_KEY_minus:
    case GDK_KEY_KP_Subtract:
        impl->change_zoom(zoom_step_out(impl->zoom));
        return TRUE;
    case GDK_KEY_plus:
    case GDK_KEY_equal:
    case GDK_KEY_KP_Add:
        impl->change_zoom(zoom_step_in(impl->zoom));
        return TRUE;
    case GDK_KEY_0:
    case GDK_KEY_KP_0:
        impl->change_zoom(kNormalZoom);
        return TRUE;
    default:
        return FALSE;
    }
}

gboolean BrowserPane::Impl::on_scroll(GtkWidget*, GdkEventScroll* event, gpointer data) {
    if (!zoom_modifier(event->state))
        return FALSE;
    auto* impl = static_cast<Impl*>(data);
    int steps = 0;  // up, away from the user, zooms in
    if (event->direction == GDK_SCROLL_UP)
        steps = 1;
    else if (event->direction == GDK_SCROLL_DOWN)
        steps = -1;
    else if (event->direction == GDK_SCROLL_SMOOTH) {
        impl->smooth_scroll -= event->delta_y;
        steps = static_cast<int>(impl->smooth_scroll);  // toward zero: whole clicks only
        impl->smooth_scroll -= steps;
    }
    int percent = impl->zoom;
    for (; steps > 0; --steps) percent = zoom_step_in(percent);
    for (; steps < 0; ++steps) percent = zoom_step_out(percent);
    impl->change_zoom(percent);
    // Not even sideways: with Ctrl held the wheel is the zoom's.
    return TRUE;
}

gboolean BrowserPane::Impl::on_decide_policy(WebKitWebView*, WebKitPolicyDecision* decision,
                                             WebKitPolicyDecisionType type, gpointer data) {
    // A server error is judged before the guard drops what the view cannot show, so that
    // an error answered in a type the view cannot show still counts as a failed load.
    auto* impl = static_cast<Impl*>(data);
    return impl->recovery.decide_policy(decision, type) || page_guard_decide_policy(impl->guard, decision, type);
}

void BrowserPane::Impl::on_process_terminated(WebKitWebView*, WebKitWebProcessTerminationReason, gpointer data) {
    // Bringing the page back is PageRecovery's.
    auto* impl = static_cast<Impl*>(data);
    impl->has_document = false;
    impl->forget_written();
}

void BrowserPane::Impl::on_scroll_message(WebKitUserContentManager*, WebKitJavascriptResult*, gpointer data) {
    static_cast<Impl*>(data)->page_holds_written = false;
}

void BrowserPane::Impl::finish_scroll(GObject* view, GAsyncResult* result, gpointer data) {
    std::unique_ptr<PendingScroll> pending(static_cast<PendingScroll*>(data));
    GError* error = nullptr;
    JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error);
    // A page that went away meanwhile just misses this write; the next tick writes again.
    const bool reached = value && jsc_value_is_boolean(value) && jsc_value_to_boolean(value);
    if (value)
        g_object_unref(value);
    g_clear_error(&error);
    if (pending->pane_alive.expired() || pending->write != pending->impl->write_count)
        return;
    pending->impl->page_holds_written = reached;
}

void BrowserPane::Impl::probe_page() {
    // The page keeps the viewport it loaded in until the answer comes, so that
    // nothing jumps on a reload of a panned page.
    probe_pending = true;
    last_probe = Clock::now();
    const std::string script = page_probe_script(frame.page_width(), frame.page_height());
    webkit_web_view_evaluate_javascript(view, script.c_str(), static_cast<gssize>(script.size()), kScrollWorld,
                                        nullptr, cancellable, &Impl::finish_probe,
                                        // numbered like a scroll write, on a count of its own
                                        new PendingScroll{alive, this, ++probe_count});
}

void BrowserPane::Impl::finish_probe(GObject* view, GAsyncResult* result, gpointer data) {
    std::unique_ptr<PendingScroll> pending(static_cast<PendingScroll*>(data));
    GError* error = nullptr;
    JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error);
    std::optional<PageFindings> page;
    if (value && jsc_value_is_string(value)) {
        char* text = jsc_value_to_string(value);
        page = parse_findings(text);
        g_free(text);
    }
    if (value)
        g_object_unref(value);
    g_clear_error(&error);
    if (pending->pane_alive.expired() || pending->write != pending->impl->probe_count)
        return;
    pending->impl->probe_pending = false;
    if (!page)
        return;
    if (!has_nothing_to_scroll(*page))
        pending->impl->look_again = false;
    PanFrame& frame = pending->impl->frame;
    const PanGeometry& now = frame.geometry();
    frame.set_panning(app_shell_axes(*page, frame.page_width(), frame.page_height(),
                                     {now.shown_x > 0, now.shown_y > 0}));
}

BrowserPane::BrowserPane() : BrowserPane(RecoveryTimes{}) {}

BrowserPane::BrowserPane(const RecoveryTimes& times) : impl_(std::make_unique<Impl>(times)) {
    attach_page_guard(impl_->view, &impl_->guard);
    WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(impl_->view);
    WebKitUserScript* watch = webkit_user_script_new_for_world(
        scroll_watch_script().c_str(), WEBKIT_USER_CONTENT_INJECT_TOP_FRAME, WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START,
        kScrollWorld, nullptr, nullptr);
    webkit_user_content_manager_add_script(content, watch);
    webkit_user_script_unref(watch);
    webkit_user_content_manager_register_script_message_handler_in_world(content, kScrollMessage, kScrollWorld);
    g_signal_connect(content, (std::string("script-message-received::") + kScrollMessage).c_str(),
                     G_CALLBACK(&Impl::on_scroll_message), impl_.get());
    g_signal_connect(impl_->view, "load-changed", G_CALLBACK(&Impl::on_load_changed), impl_.get());
    g_signal_connect(impl_->view, "decide-policy", G_CALLBACK(&Impl::on_decide_policy), impl_.get());
    g_signal_connect(impl_->view, "web-process-terminated", G_CALLBACK(&Impl::on_process_terminated),
                     impl_.get());
    // Before the view's own handlers, which would scroll the page or hand the keys to it.
    g_signal_connect(impl_->view, "key-press-event", G_CALLBACK(&Impl::on_key_press), impl_.get());
    g_signal_connect(impl_->view, "scroll-event", G_CALLBACK(&Impl::on_scroll), impl_.get());
}

BrowserPane::~BrowserPane() {
    impl_->alive.reset();
    g_cancellable_cancel(impl_->cancellable);
    g_signal_handlers_disconnect_by_data(impl_->view, impl_.get());
    g_signal_handlers_disconnect_by_data(webkit_web_view_get_user_content_manager(impl_->view), impl_.get());
    detach_page_guard(impl_->view, &impl_->guard);
    gtk_widget_destroy(GTK_WIDGET(impl_->view));
    g_object_unref(impl_->view);
    g_object_unref(impl_->cancellable);
}

Gtk::Widget& BrowserPane::widget() { return impl_->strip.widget(); }

bool BrowserPane::navigate(const std::string& address) {
    // WebKit ignores an empty address, where a blank page is what a viewer shows;
    // bytes that are not UTF-8 would not survive its URL parser.
    const std::string target = text::repair_utf8(address.empty() ? "about:blank" : address);
    impl_->recovery.load(target);
    return true;
}

bool BrowserPane::refresh(ReloadCause cause) {
    return impl_->recovery.reload(cause == ReloadCause::person);
}

bool BrowserPane::set_silent(bool silent) {
    impl_->guard.silent = silent;
    return true;
}

bool BrowserPane::set_body_scroll(std::optional<double> left, std::optional<double> top) {
    // Until the load has finished the document may have no body yet, and a reload's
    // old document is about to go: a write now would be lost, so report it instead.
    if (!impl_->has_document || webkit_web_view_is_loading(impl_->view))
        return false;
    if (!usable_offset(left) || !usable_offset(top))
        return false;
    if (!left && !top)
        return true;
    impl_->frame.pan_to(left, top);
    if (impl_->look_again && !impl_->probe_pending) {
        const auto now = Clock::now();
        impl_->look_again = now - impl_->loaded_at < kLateProbeSpan;
        if (impl_->look_again && now - impl_->last_probe >= kLateProbeGap)
            impl_->probe_page();
    }
    if (impl_->frame.panning())
        return true;  // the document of such a page does not scroll
    if (impl_->page_holds_written && left == impl_->written_left && top == impl_->written_top &&
        impl_->skipped_writes < kMostSkippedWrites) {
        ++impl_->skipped_writes;
        return true;
    }
    impl_->skipped_writes = 0;
    impl_->written_left = left;
    impl_->written_top = top;
    impl_->forget_written();
    const std::string script = scroll_script(left, top, std::max(1.0, 1 / impl_->frame.zoom()));
    webkit_web_view_evaluate_javascript(impl_->view, script.c_str(), static_cast<gssize>(script.size()),
                                        kScrollWorld, nullptr, impl_->cancellable, &Impl::finish_scroll,
                                        new Impl::PendingScroll{impl_->alive, impl_.get(), impl_->write_count});
    return true;
}

void BrowserPane::set_asleep(bool asleep) {
    // Out of the map, not out of the layout: the view keeps its size.
    gtk_widget_set_child_visible(GTK_WIDGET(impl_->view), !asleep);
    impl_->recovery.set_asleep(asleep);
}

int BrowserPane::zoom() const { return impl_->zoom; }

void BrowserPane::set_zoom(int percent) { impl_->change_zoom(percent); }

sigc::signal<void(int)>& BrowserPane::signal_zoom_changed() { return impl_->zoom_changed; }

sigc::signal<void(const std::string&)>& BrowserPane::signal_new_window() { return impl_->guard.new_window; }

sigc::signal<void()>& BrowserPane::signal_load_finished() { return impl_->load_finished; }

bool BrowserPane::is_loading() const { return webkit_web_view_is_loading(impl_->view); }

std::string BrowserPane::uri() const {
    const char* current = webkit_web_view_get_uri(impl_->view);
    return current ? current : "";
}

PaneHealth BrowserPane::health() const {
    PaneHealth health = impl_->recovery.health();
    // The blank page of a pane without an address is no page to report.
    if (health.address == "about:blank") health = {};
    health.address = text::address_without_credentials(health.address);
    health.login = impl_->login.status();
    return health;
}
