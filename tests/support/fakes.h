#pragma once
// Stand-ins for the panes, the configuration dialog and the platform's message box,
// file chooser and launcher, recording what the code under test asked of them.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "browser_pane/pane.h"
#include "platform/file_chooser.h"
#include "platform/message_box.h"
#include "platform/process_launcher.h"
#include "settings/dialog_fields.h"

struct FakePane : Pane {
    std::vector<std::string> navigations;
    int refreshes = 0;
    bool silent = false;
    std::vector<std::pair<std::optional<double>, std::optional<double>>> scrolls;  // every write, a refused one too
    bool accepts = true;

    bool navigate(const std::string& address) override { navigations.push_back(address); return accepts; }
    bool refresh(ReloadCause) override { ++refreshes; return accepts; }
    bool set_silent(bool s) override { silent = s; return accepts; }
    bool set_body_scroll(std::optional<double> left, std::optional<double> top) override {
        scrolls.emplace_back(left, top);
        return accepts;
    }
};

struct FakePanes {
    std::array<FakePane, 4> pane;
    PaneSet set() { return {&pane[0], &pane[1], &pane[2], &pane[3]}; }
};

struct FakeDialog : DialogFields {
    std::array<std::string, 5> texts;
    std::array<int, 4> checks{};

    std::string text(int n) const override { return texts.at(n - 1); }
    void set_text(int n, const std::string& value) override { texts.at(n - 1) = value; }
    int check(int n) const override { return checks.at(n - 1); }
    bool set_check(int n, int value) override {
        if (value < 0 || value > 2) return false;
        checks.at(n - 1) = value;
        return true;
    }
};

struct FakeMessages : platform::MessageBox {
    std::vector<std::string> shown;  // "title (!) text" for an exclamation, "title (?) text" for a question
    void show(const std::string& text, const std::string& title, platform::MessageIcon icon) override {
        shown.push_back(title + (icon == platform::MessageIcon::Exclamation ? " (!) " : " (?) ") + text);
    }
};

struct FakeChooser : platform::FileChooser {
    std::optional<std::string> answer;  // nothing: the user cancels
    std::optional<std::string> choose(const std::string&) override { return answer; }
};

// Starts nothing and opens nothing, as on a machine without the program or a browser.
struct FakeLauncher : platform::ProcessLauncher {
    std::vector<std::string> opened;
    bool start(const std::vector<std::string>&, const std::string&) override { return false; }
    bool open_uri(const std::string& uri) override {
        opened.push_back(uri);
        return false;
    }
};
