// tools/write-demo-config.sh in a checkout whose path holds the characters that
// break an address or a settings line: the file reads back as 17 fields with
// working addresses, and is byte for byte what the program's own writer makes.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "settings/settings_reader.h"
#include "settings/settings_writer.h"

namespace {

namespace fs = std::filesystem;

// Runs argv without a shell, its output discarded; its exit status, or -1.
int exit_status_of(std::vector<std::string> argv) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::vector<char*> args;
        for (std::string& arg : argv) args.push_back(arg.data());
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

TEST(DemoConfig, ACheckoutPathWithCommaHashPercentAndQuotesGivesWorkingAddresses) {
    const fs::path base = fs::temp_directory_path() / ("orvalis-demo-" + std::to_string(::getpid()));
    const fs::path checkout = base / "a b,c#d%41e \"f\" 'g' città";
    fs::create_directories(checkout / "tools");
    fs::create_directories(checkout / "demo");
    fs::copy_file(fs::path(ORVALIS_SOURCE_DIR) / "tools" / "write-demo-config.sh",
                  checkout / "tools" / "write-demo-config.sh");
    const fs::path written = base / "dati.cfg";
    ASSERT_EQ(exit_status_of({"bash", (checkout / "tools" / "write-demo-config.sh").string(), written.string()}), 0);

    const settings::FieldsRead read = settings::read_fields_from_file(written);
    ASSERT_EQ(read.end, settings::FieldsRead::End::Complete);
    const std::string folder_address =
        "file://" + base.string() + "/a%20b%2Cc%23d%2541e%20%22f%22%20%27g%27%20citt%C3%A0/demo/";
    const char* pages[] = {"clock.html", "list.html", "changing.html", "wide.html"};
    for (int n = 0; n < 4; ++n) EXPECT_EQ(read.fields[8 + n].value.to_text(), folder_address + pages[n]);
    EXPECT_EQ(read.fields[3].value.to_text(), "1200");
    EXPECT_EQ(read.fields[16].value.kind(), Value::Kind::Empty);

    std::vector<Value> values;
    for (const auto& field : read.fields) values.push_back(field.value);
    std::ifstream in(written, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), settings::settings_file_content(values));
    fs::remove_all(base);
}

}  // namespace
