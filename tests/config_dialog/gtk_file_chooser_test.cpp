#include "platform/gtk_file_chooser.h"

#include <gtest/gtest.h>

#include "support/files.h"
#include "support/widgets.h"

namespace {

std::optional<std::string> choose(platform::GtkFileChooser& files, const std::optional<std::string>& typed,
                                  std::vector<std::string>& proposed) {
    answer_next_file_chooser(typed, proposed);
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
