#include "platform/gtk_file_chooser.h"

#include <gtest/gtest.h>

#include <functional>

#include <glib.h>
#include <glibmm/main.h>
#include <gtkmm/filechooserdialog.h>

#include "platform/program_folder.h"

namespace {

// Answers are read from the environment's settings store at first use; the test
// must not need a session bus for the chooser to save its own preferences.
const bool memory_settings = g_setenv("GSETTINGS_BACKEND", "memory", TRUE);

// Runs `act` on the chooser from inside its own modal loop, once it is up and has
// loaded its folder (before that it cannot accept a typed name).
void when_chooser_opens(std::function<void(Gtk::FileChooserDialog&)> act) {
    Glib::signal_timeout().connect(
        [act] {
            for (Gtk::Window* window : Gtk::Window::list_toplevels())
                if (auto* chooser = dynamic_cast<Gtk::FileChooserDialog*>(window); chooser && chooser->get_mapped() &&
                                                                      !chooser->get_current_folder().empty()) {
                    act(*chooser);
                    return false;
                }
            return true;
        },
        20);
}

struct Seen {
    std::string title, name, folder;
    std::vector<std::string> filters;
    Gtk::FileChooserAction action = Gtk::FILE_CHOOSER_ACTION_OPEN;
    bool asks_before_overwriting = true;
    bool modal = false;
};

void look(Gtk::FileChooserDialog& chooser, Seen& seen) {
    seen.title = chooser.get_title();
    seen.name = chooser.get_current_name();
    seen.folder = chooser.get_current_folder();
    for (const auto& filter : chooser.list_filters()) seen.filters.push_back(filter->get_name());
    seen.action = chooser.get_action();
    seen.asks_before_overwriting = chooser.get_do_overwrite_confirmation();
    seen.modal = chooser.get_modal();
}

TEST(GtkFileChooser, ProposesDatiCfgThenTheLastChoice) {
    ASSERT_TRUE(memory_settings);
    platform::GtkFileChooser files;
    const std::string folder = platform::program_folder().string();

    Seen first;
    when_chooser_opens([&](Gtk::FileChooserDialog& chooser) {
        look(chooser, first);
        chooser.response(Gtk::RESPONSE_CANCEL);
    });
    EXPECT_EQ(files.choose("Carica Configurazione"), std::nullopt);
    EXPECT_EQ(first.title, "Carica Configurazione");
    EXPECT_EQ(first.name, "dati.cfg");
    EXPECT_EQ(first.folder, folder);
    EXPECT_EQ(first.filters, std::vector<std::string>{"Files di Configurazione (*.cfg)"});
    EXPECT_EQ(first.action, Gtk::FILE_CHOOSER_ACTION_SAVE);
    EXPECT_FALSE(first.asks_before_overwriting);
    EXPECT_TRUE(first.modal);

    // A cancelled choice leaves the proposal as it was; a typed new name is taken.
    Seen second;
    when_chooser_opens([&](Gtk::FileChooserDialog& chooser) {
        look(chooser, second);
        chooser.set_current_name("nuovo.cfg");
        chooser.response(Gtk::RESPONSE_ACCEPT);
    });
    EXPECT_EQ(files.choose("Salva Configurazione"), folder + "/nuovo.cfg");
    EXPECT_EQ(second.title, "Salva Configurazione");
    EXPECT_EQ(second.name, "dati.cfg");

    Seen third;
    when_chooser_opens([&](Gtk::FileChooserDialog& chooser) {
        look(chooser, third);
        chooser.response(Gtk::RESPONSE_DELETE_EVENT);
    });
    EXPECT_EQ(files.choose("Carica Configurazione"), std::nullopt);
    EXPECT_EQ(third.name, "nuovo.cfg");
    EXPECT_EQ(third.folder, folder);
}

}  // namespace
