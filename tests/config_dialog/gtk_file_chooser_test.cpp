#include "platform/gtk_file_chooser.h"

#include <gtest/gtest.h>

#include <glibmm/main.h>
#include <gtkmm/filechooserdialog.h>

#include "support/files.h"

namespace {

// Once the chooser is up and has loaded its folder (before that it takes no typed name),
// notes "folder/name [filters]" it proposes, then accepts `typed` or cancels without it.
std::optional<std::string> choose(platform::GtkFileChooser& files, const std::optional<std::string>& typed,
                                  std::vector<std::string>& proposed) {
    Glib::signal_timeout().connect([&] {
        for (Gtk::Window* window : Gtk::Window::list_toplevels())
            if (auto* c = dynamic_cast<Gtk::FileChooserDialog*>(window);
                c && c->get_mapped() && !c->get_current_folder().empty()) {
                proposed.push_back(c->get_current_folder() + "/" + c->get_current_name());
                for (const auto& filter : c->list_filters()) proposed.back() += " [" + filter->get_name() + "]";
                if (typed) c->set_current_name(*typed);
                c->response(typed ? Gtk::RESPONSE_ACCEPT : Gtk::RESPONSE_CANCEL);
                return false;
            }
        return true;
    }, 20);
    return files.choose("Carica Configurazione");
}

TEST(GtkFileChooser, ProposesTheStartFileThenTheLastChoiceAndNothingOnCancel) {
    // The user's own settings folder, not there yet: the chooser makes it, or it could not propose it.
    const TempFolder home{"orvalis-chooser"};
    const std::string folder = (home / "orvalis").string(), filter = " [Files di Configurazione (*.cfg)]";
    platform::GtkFileChooser files;
    files.set_first_proposal(home / "orvalis" / "dati.cfg");
    std::vector<std::string> proposed;
    EXPECT_EQ(choose(files, std::nullopt, proposed), std::nullopt);
    EXPECT_EQ(choose(files, "nuovo.cfg", proposed), folder + "/nuovo.cfg");
    EXPECT_EQ(choose(files, std::nullopt, proposed), std::nullopt);
    EXPECT_EQ(proposed, (std::vector<std::string>{folder + "/dati.cfg" + filter, folder + "/dati.cfg" + filter,
                                                  folder + "/nuovo.cfg" + filter}));
    EXPECT_EQ(std::filesystem::status(folder).permissions(), std::filesystem::perms::owner_all);
}

}  // namespace
