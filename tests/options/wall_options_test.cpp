#include "options/wall_options.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/files.h"

using testing::ElementsAre;
using testing::HasSubstr;

// The system's file, the user's over it, and files that add nothing.
TEST(WallOptions, LaterFilesWinKeyByKeyAndBrokenOnesOnlyComplain) {
    TempFolder folder;
    const auto system = write_file(folder / "system.conf", "[MQTT]\nServer=mqtt://a\nNome=Sala\n[Altro]\nX=1\n");
    const auto user = write_file(folder / "user.conf", "# mine\n[MQTT]\nServer=mqtt://b\\sc\n");
    const auto broken = write_file(folder / "broken.conf", "[MQTT\nServer=mqtt://c\n");
    const auto read = options::read_wall_options({system, folder / "missing.conf", broken, user});
    EXPECT_EQ(read.group("MQTT"), (std::map<std::string, std::string>{{"Nome", "Sala"}, {"Server", "mqtt://b c"}}));
    EXPECT_THAT(read.complaints, ElementsAre(HasSubstr("broken.conf")));
}
