// Page processes in WebKit's sandbox and on its own allocator, checked on the real
// processes; where bubblewrap cannot build the sandbox, pages still show.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "support/files.h"
#include "support/pane_probe.h"

namespace {

namespace fs = std::filesystem;

// Our descendants named like WebKit's page process (the name is cut to 15 characters).
std::vector<int> page_processes() {
    std::vector<int> found, parents{::getpid()};
    while (!parents.empty()) {
        const int parent = parents.back();
        parents.pop_back();
        std::error_code ignored;
        for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(parent) + "/task", ignored)) {
            std::istringstream children(file_text(task.path() / "children"));
            for (int child; children >> child; parents.push_back(child))
                if (file_text("/proc/" + std::to_string(child) + "/comm") == "WebKitWebProces\n") found.push_back(child);
        }
    }
    return found;
}

std::string mount_namespace(const std::string& pid) {
    std::error_code ignored;
    return fs::read_symlink("/proc/" + pid + "/ns/mnt", ignored).string();
}

TEST(PageSandbox, APageProcessHasItsOwnMountsAndCannotSeeTheHomeFolder) {
    if (std::system("/usr/bin/bwrap --ro-bind / / --unshare-pid --unshare-net /bin/true 2>/dev/null") != 0)
        GTEST_SKIP() << "bubblewrap cannot create namespaces on this machine: pages run without a sandbox";
    // A page in a folder of the home folder: it loads, but its process cannot see it.
    std::string pattern = (fs::path(g_get_home_dir()) / "orvalis-sandbox-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) GTEST_SKIP() << "no folder can be made in the home folder " << g_get_home_dir();
    const fs::path folder = pattern;
    std::ofstream(folder / "page.html") << "<title>a local page</title>x";
    PaneInWindow shown;
    ASSERT_TRUE(navigate_and_wait(shown.pane, "file://" + (folder / "page.html").string()));
    EXPECT_EQ(script_result(shown.pane, "document.title"), "a local page");

    const std::vector<int> pages = page_processes();
    ASSERT_FALSE(pages.empty());
    for (int pid : pages) {
        SCOPED_TRACE(pid);
        const std::string theirs = mount_namespace(std::to_string(pid));
        EXPECT_TRUE(!theirs.empty() && theirs != mount_namespace("self"));
        // What the page process sees at the folder's place: nothing.
        std::error_code error;
        EXPECT_FALSE(fs::exists("/proc/" + std::to_string(pid) + "/root" + folder.string(), error));
    }
    fs::remove_all(folder);
}

// This process sends WebKit's allocations through malloc, as the program does; its page
// processes must not inherit that choice, on which they grow with every reload.
TEST(PageProcesses, KeepWebKitsOwnAllocator) {
    // Each variable as "\0NAME=": what a process was started with, as /proc keeps it.
    const auto started_with = [](const std::string& pid) { return '\0' + file_text("/proc/" + pid + "/environ"); };
    const std::string choice("\0Malloc=", 8);
    // The choice was there as WebKit's library loaded, and is gone from what this process hands on.
    EXPECT_NE(started_with("self").find(choice), std::string::npos);
    EXPECT_EQ(std::getenv("Malloc"), nullptr);
    PaneInWindow shown;
    ASSERT_TRUE(navigate_and_wait(shown.pane, "data:text/html,x"));
    const std::vector<int> pages = page_processes();
    ASSERT_FALSE(pages.empty());
    for (int pid : pages) {
        const std::string theirs = started_with(std::to_string(pid));
        // An environment that could not be read would hold no choice either.
        EXPECT_NE(theirs.find(std::string("\0PATH=", 6)), std::string::npos) << pid << " unreadable";
        EXPECT_EQ(theirs.find(choice), std::string::npos) << pid;
    }
}

// Run in a child whose bubblewrap cannot build the sandbox (see below); not on its own.
TEST(PageSandbox, DISABLED_PagesShowWithoutBubblewrap) {
    PaneInWindow shown;
    ASSERT_TRUE(navigate_and_wait(shown.pane, "data:text/html,<title>shown</title>x"));
    EXPECT_EQ(script_result(shown.pane, "document.title"), "shown");
}

// WebKit ends the whole program when its sandbox cannot start; ours must not. As in a
// Docker, Podman or LXC container: part of /proc covered, the program run by an
// ordinary user; bubblewrap makes the namespaces but the kernel refuses it a new /proc.
// The page is shown by this program in a child, in a mount namespace of its own (exit
// 91: none could be set up, 93: bubblewrap mounts a new /proc here all the same).
TEST(PageSandboxFallback, InAContainerThatCoversPartOfProcPagesStillShowAndStandardErrorSaysSo) {
    if (::geteuid() != 0) GTEST_SKIP() << "covering /proc and dropping to the user nobody needs root";
    const char* xauthority = std::getenv("XAUTHORITY");
    TempFolder folder{"orvalis-coveredproc"};
    if (xauthority) fs::copy_file(xauthority, folder / "Xauthority");
    ::chown((folder / "Xauthority").c_str(), 65534, 65534);
    ::chown(folder.path().c_str(), 65534, 65534);
    const fs::path log = folder / "stderr";
    const pid_t child = ::fork();
    if (child == 0) {
        const int err = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (err < 0 || ::dup2(err, STDERR_FILENO) < 0) ::_exit(90);
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            (::mount("tmpfs", "/proc/acpi", "tmpfs", 0, nullptr) != 0 &&
             ::mount("/dev/null", "/proc/kcore", nullptr, MS_BIND, nullptr) != 0))
            ::_exit(91);
        if (xauthority) ::setenv("XAUTHORITY", (folder / "Xauthority").c_str(), 1);
        ::setenv("HOME", folder.path().c_str(), 1);
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(91);
        if (std::system("/usr/bin/bwrap --ro-bind / / --unshare-pid --proc /proc /bin/true 2>/dev/null") == 0 ||
            std::system("/usr/bin/bwrap --ro-bind / / --unshare-pid /bin/true 2>/dev/null") != 0)
            ::_exit(93);
        ::execl("/proc/self/exe", "page_sandbox_test", "--gtest_also_run_disabled_tests",
                "--gtest_filter=PageSandbox.DISABLED_PagesShowWithoutBubblewrap", nullptr);
        ::_exit(92);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const std::string said = file_text(log);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 91) GTEST_SKIP() << "no mount namespace for a child here";
    if (WIFEXITED(status) && WEXITSTATUS(status) == 93) GTEST_SKIP() << "bubblewrap mounts a new /proc here all the same";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status << "\n" << said;
    EXPECT_NE(said.find("orvalis: pages run without a sandbox"), std::string::npos) << said;
}

}  // namespace
