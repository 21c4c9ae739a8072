#include "support/pane_probe.h"

#include <gtkmm/bin.h>
#include <webkit2/webkit2.h>

#include <memory>
#include <stdexcept>

#include "support/wait_until.h"

bool wait_for_load(BrowserPane& pane, std::chrono::milliseconds deadline, const std::string* address) {
    // Watching from before the navigation, so that no finish is missed.
    bool finished = false;
    sigc::connection watch = pane.signal_load_finished().connect([&finished] { finished = true; });
    if (address)
        pane.navigate(*address);
    const bool met = wait_until([&] { return finished && !pane.is_loading(); }, deadline);
    watch.disconnect();
    return met;
}

int loads_within(BrowserPane& pane, std::chrono::milliseconds span) {
    int loads = 0;
    sigc::connection counting = pane.signal_load_finished().connect([&loads] { ++loads; });
    wait_until([] { return false; }, span);
    counting.disconnect();
    return loads;
}

static WebKitWebView* web_view(BrowserPane& pane) { return WEBKIT_WEB_VIEW(page_view(pane).gobj()); }

std::optional<std::string> script_result(BrowserPane& pane, const std::string& script,
                                         std::chrono::milliseconds deadline) {
    // Shared, so that an answer arriving after the deadline has somewhere to go.
    struct Answer {
        bool in = false;
        std::optional<std::string> text;
    };
    const auto take = +[](GObject* view, GAsyncResult* result, gpointer data) {
        std::unique_ptr<std::shared_ptr<Answer>> answer(static_cast<std::shared_ptr<Answer>*>(data));
        if (JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, nullptr)) {
            const bool object = jsc_value_is_object(value) && !jsc_value_is_function(value);
            char* text = object ? jsc_value_to_json(value, 0) : jsc_value_to_string(value);
            (*answer)->text = text ? text : "";
            g_free(text);
            g_object_unref(value);
        }
        (*answer)->in = true;
    };
    auto answer = std::make_shared<Answer>();
    webkit_web_view_evaluate_javascript(web_view(pane), script.c_str(), static_cast<gssize>(script.size()), nullptr,
                                        nullptr, nullptr, take, new std::shared_ptr<Answer>(answer));
    return wait_until([&] { return answer->in; }, deadline) ? answer->text : std::nullopt;
}

std::string js(BrowserPane& pane, const std::string& script) {
    return script_result(pane, script).value_or("<no answer>");
}

bool page_shows(BrowserPane& pane, const std::string& words) {
    return js(pane, "document.body.innerText").find(words) != std::string::npos;
}

std::string scroll_offset(BrowserPane& pane) {
    return js(pane, "(e => e.scrollLeft + ',' + e.scrollTop)(document.scrollingElement)");
}

void end_page_process(BrowserPane& pane) { webkit_web_view_terminate_web_process(web_view(pane)); }

Gtk::Label& stale_strip(BrowserPane& pane) {
    // The strip is the one label among the pane's outer widget's children.
    for (Gtk::Widget* child : dynamic_cast<Gtk::Container&>(pane.widget()).get_children())
        if (auto* label = dynamic_cast<Gtk::Label*>(child))
            return *label;
    throw std::logic_error("the pane has no stale strip");
}

Gtk::Widget& page_view(BrowserPane& pane) {
    Gtk::Widget* widget = &pane.widget();
    while (auto* bin = dynamic_cast<Gtk::Bin*>(widget))
        widget = bin->get_child();
    return *widget;
}
