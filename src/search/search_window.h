#pragma once
// `Form3`, the one-line search box: Enter or "Vai" opens the maker's search page
// for the typed query in the user's default browser and hides the box. "Vai" keeps
// the query for next time; Enter clears it. Whether the browser started is not
// looked at. The box stays above other windows; showing it is the caller's business.

#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/fixed.h>
#include <gtkmm/window.h>

#include "platform/process_launcher.h"

class SearchWindow : public Gtk::Window {
public:
    explicit SearchWindow(platform::ProcessLauncher& launcher);

private:
    void search();
    void search_after_pending_events();
    void search_and_clear();

    platform::ProcessLauncher& launcher_;
    Gtk::Fixed layout_;
    Gtk::Entry query_box_;
    Gtk::Button go_button_;
};
