// What a silent pane does with a page's requests for dialogs, windows and downloads.

#include <glib-object.h>

#include <chrono>
#include <string>
#include <vector>

#include "pane_fixture.h"
#include "support/synthetic_click.h"

using namespace std::chrono_literals;

class BrowserPaneSilent : public PaneFixture {
protected:
    BrowserPaneSilent() {
        saved_open_ = BrowserPane::open_externally;
        BrowserPane::open_externally = [this](const std::string& address) { opened_outside.push_back(address); };
        pane.set_silent(true);
    }
    ~BrowserPaneSilent() override {
        if (dialog_hook_)
            g_signal_remove_emission_hook(dialog_signal_, dialog_hook_);
        BrowserPane::open_externally = saved_open_;
    }

    // From now on, counts the page's requests for script dialogs, seen before any
    // handler answers them.
    void count_script_dialogs() {
        dialog_signal_ = g_signal_lookup("script-dialog", G_OBJECT_TYPE(pane.widget().gobj()));
        dialog_hook_ = g_signal_add_emission_hook(dialog_signal_, 0, &BrowserPaneSilent::on_dialog,
                                                  &script_dialogs, nullptr);
    }

    std::vector<std::string> opened_outside;
    int script_dialogs = 0;

private:
    static gboolean on_dialog(GSignalInvocationHint*, guint, const GValue*, gpointer count) {
        ++*static_cast<int*>(count);
        return TRUE;  // stay hooked
    }
    std::function<void(const std::string&)> saved_open_;
    guint dialog_signal_ = 0;
    gulong dialog_hook_ = 0;
};

TEST_F(BrowserPaneSilent, ScriptDialogsAreAnsweredWithoutShowingAndThePageGoesOn) {
    serve_html("/dialogs",
               "<!DOCTYPE html><html><body><script>"
               "window.answers = [String(alert('a')), String(confirm('b')), String(prompt('c', 'd'))];"
               "Notification.requestPermission().then(p => { window.notification = p; });"
               "navigator.geolocation.getCurrentPosition(() => { window.where = 'granted'; },"
               "                                         e => { window.where = 'refused ' + e.code; });"
               "</script></body></html>");
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/dialogs")));
    EXPECT_EQ(js("answers.join()"), "undefined,false,null");
    ASSERT_TRUE(wait_until([&] { return js("String(window.where)") != "undefined"; }, 10s));
    EXPECT_EQ(js("window.where"), "refused 1");
    EXPECT_EQ(js("String(window.notification)"), "denied");
}

TEST_F(BrowserPaneSilent, BeforeUnloadQuestionLetsTheReloadGoAhead) {
    serve_html("/leave",
               "<!DOCTYPE html><html><body style='height:2000px'><script>"
               "addEventListener('beforeunload', e => { e.preventDefault(); e.returnValue = 'stay?'; });"
               "</script></body></html>");
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/leave")));
    // Engines ask before unloading only pages the user has touched.
    click_widget(pane.widget(), 50, 50);
    count_script_dialogs();
    ASSERT_TRUE(pane.refresh());
    ASSERT_TRUE(wait_for_load(pane));
    EXPECT_EQ(script_dialogs, 1);
    EXPECT_EQ(server.request_count("/leave"), 2);
}

TEST_F(BrowserPaneSilent, NewWindowsGoToTheDefaultBrowserOnlyWhenClicked) {
    serve_html("/links",
               "<!DOCTYPE html><html><body style='margin:0'>"
               "<a href='/blank-target' target='_blank' style='display:block;height:100px'>link</a>"
               "<div onclick=\"window.open('/opened')\" style='height:100px'>button</div>"
               "<script>window.open('/unasked');</script>"
               "</body></html>");
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/links")));
    click_widget(pane.widget(), 50, 50);
    ASSERT_TRUE(wait_until([&] { return opened_outside.size() == 1; }, 10s));
    click_widget(pane.widget(), 50, 150);
    ASSERT_TRUE(wait_until([&] { return opened_outside.size() == 2; }, 10s));

    EXPECT_EQ(opened_outside, (std::vector<std::string>{server.url("/blank-target"), server.url("/opened")}));
    EXPECT_EQ(pane.uri(), server.url("/links"));
    EXPECT_EQ(server.request_count("/blank-target") + server.request_count("/opened") +
                  server.request_count("/unasked"),
              0);
}

TEST_F(BrowserPaneSilent, ResponsesItCannotShowAreNotDownloaded) {
    serve_html("/page", "<!DOCTYPE html><html><head><title>Kept</title></head><body></body></html>");
    server.serve("/archive.zip", "application/zip", std::string(1000, 'z'));
    ASSERT_TRUE(navigate_and_wait(pane, server.url("/page")));
    pane.navigate(server.url("/archive.zip"));
    ASSERT_TRUE(wait_until([&] { return server.request_count("/archive.zip") == 1 && !pane.is_loading(); }, 20s));
    EXPECT_EQ(js("document.title"), "Kept");
}
