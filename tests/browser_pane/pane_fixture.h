#pragma once
// A pane shown in a small window, with a local server for its pages.

#include <gtest/gtest.h>
#include <gtkmm/window.h>

#include <string>

#include "browser_pane/browser_pane.h"
#include "support/local_http_server.h"
#include "support/pane_probe.h"
#include "support/wait_until.h"

class PaneFixture : public ::testing::Test {
protected:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 300;

    PaneFixture() {
        window.set_default_size(kWidth, kHeight);
        window.add(pane.widget());
        window.show_all();
    }

    // The script's answer, or a text no script gives, so that failures read well.
    std::string js(const std::string& script) { return script_result(pane, script).value_or("<no answer>"); }

    void serve_html(const std::string& path, const std::string& html) {
        server.serve(path, "text/html; charset=utf-8", html);
    }

    LocalHttpServer server;
    Gtk::Window window;
    // After the window, so that the pane leaves it before the window goes.
    BrowserPane pane;
};
