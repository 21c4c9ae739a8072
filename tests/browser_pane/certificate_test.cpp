// Servers on certificates the test makes itself, trusted once, seeded, or changed;
// and the session cookies of the last run, back before the first load.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <glibmm/main.h>
#include <webkit2/webkit2.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>

#include "browser_pane/website_data/website_data.h"
#include "support/files.h"
#include "support/local_http_server.h"
#include "support/pane_probe.h"
#include "support/wait_until.h"

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

std::string run(const std::string& command) {
    gchar* out = nullptr;
    gint status = 0;
    const bool ran = g_spawn_command_line_sync(command.c_str(), &out, nullptr, &status, nullptr);
    std::string text = ran && g_spawn_check_wait_status(status, nullptr) && out ? out : "";
    g_free(out);
    return text;
}

// Self-signed, for 127.0.0.1 and localhost, good for a day: nothing kept that expires.
GTlsCertificate* make_certificate(const fs::path& dir, const std::string& name) {
    const std::string pem = dir / (name + ".pem"), key = dir / (name + ".key");
    run("openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 1 -subj /CN=127.0.0.1 "
        "-addext subjectAltName=IP:127.0.0.1,DNS:localhost -keyout " + key + " -out " + pem);
    return g_tls_certificate_new_from_files(pem.c_str(), key.c_str(), nullptr);
}

// "AB:CD:…" as openssl prints it, from the file it wrote.
std::string fingerprint(const fs::path& dir, const std::string& name) {
    const std::string line = run("openssl x509 -noout -fingerprint -sha256 -in " + (dir / (name + ".pem")).string());
    const auto equals = line.find('=');
    return equals == std::string::npos ? "<none>" : line.substr(equals + 1, line.find('\n') - equals - 1);
}

std::string on_localhost(std::string url) { return url.replace(url.find("127.0.0.1"), 9, "localhost"); }

class CertificateTest : public ::testing::Test {
protected:
    // Before the first pane: the pages' web context is made once a program.
    static void SetUpTestSuite() {
        // No resumed sessions, which skip the certificate: a server that changed its
        // certificate must show it on the next connection.
        g_setenv("G_TLS_GNUTLS_PRIORITY", "NORMAL:%NO_TICKETS", TRUE);
        fs::create_directories(dir);
        first = make_certificate(dir, "first");
        second = make_certificate(dir, "second");
        folders = website_data_folders(std::nullopt, dir / "data", dir / "cache", dir / "config", "orvalis-test");
        // Seeded by an administrator copying a file: trusted from the start, no click.
        fs::create_directories(folders.certificates);
        fs::copy_file(dir / "first.pem", folders.certificates / "localhost.pem");
        fs::create_directories(folders.data);
        write_file(folders.data / "cookie-di-sessione", "sessione\taperta\tlocalhost\t/\t0\t0\t1\n");
        keep_website_data(folders);
    }
    static void TearDownTestSuite() {
        g_clear_object(&first);
        g_clear_object(&second);
        fs::remove_all(dir);
    }

    // The network process writes into the data folder after the pages: once it has cleared
    // it, nothing more comes that would outlive the folder's removal.
    void TearDown() override {
        auto* view = WEBKIT_WEB_VIEW(page_view(pane).gobj());
        auto cleared = std::make_shared<bool>(false);
        webkit_website_data_manager_clear(
            webkit_web_context_get_website_data_manager(webkit_web_view_get_context(view)), WEBKIT_WEBSITE_DATA_ALL, 0,
            nullptr, +[](GObject*, GAsyncResult*, gpointer done) {
                const std::unique_ptr<std::shared_ptr<bool>> flag(static_cast<std::shared_ptr<bool>*>(done));
                **flag = true;
            }, new std::shared_ptr<bool>(cleared));
        wait_until([&] { return *cleared; }, 10s);
    }
    bool shows(const std::string& words) { return page_shows(pane, words); }
    std::string title() { return js(pane, "document.title"); }

    static inline fs::path dir = fs::temp_directory_path() / ("orvalis-certificates-" + std::to_string(getpid()));
    static inline GTlsCertificate* first = nullptr;
    static inline GTlsCertificate* second = nullptr;
    static inline WebsiteDataFolders folders;
    // Queued before the first pane: a start that waits for the cookies in a main loop
    // of its own runs it.
    std::shared_ptr<bool> loop_ran = [] {
        auto ran = std::make_shared<bool>(false);
        Glib::signal_idle().connect_once([ran] { *ran = true; });
        return ran;
    }();
    PaneInWindow shown{RecoveryTimes{.retry_delays = {300ms}}};
    BrowserPane& pane = shown.pane;
};

}  // namespace

TEST_F(CertificateTest, SeededCertificateIsTrustedWithoutAClickAndComesBackByItself) {
    ASSERT_TRUE(first && second) << "openssl made no certificates";
    EXPECT_FALSE(*loop_ran) << "the pane waited for the cookies in a loop of its own";
    // A proxy serving its own certificate while the server behind it starts.
    LocalHttpServer seeded(second);
    seeded.serve("/", "text/html", "<title>Seeded</title>");
    const std::string address = on_localhost(seeded.url("/"));
    pane.navigate(address);
    ASSERT_TRUE(wait_until([&] { return shows("Certificato non attendibile"); }, 10s));
    EXPECT_EQ(pane.health().failure, "certificato non attendibile");

    seeded.set_certificate(first);
    EXPECT_TRUE(wait_until([&] { return title() == "Seeded"; }, 10s)) << "not tried again";
    EXPECT_EQ(pane.health().failure, "");
    EXPECT_EQ(seeded.cookies_sent("/"), "sessione=aperta") << "the first load went out before the cookies were back";
}

TEST_F(CertificateTest, AcceptedOnceItIsKeptAndAReloadMeetingAnotherKeepsThePage) {
    ASSERT_TRUE(first && second) << "openssl made no certificates";
    LocalHttpServer server(first);
    server.serve("/board", "text/html", "<title>Board</title>");
    pane.navigate(server.url("/board"));
    ASSERT_TRUE(wait_until([&] { return shows("Certificato non attendibile"); }, 10s));
    EXPECT_TRUE(shows("127.0.0.1") && shows(fingerprint(dir, "first")) && !shows("cambiato"));
    EXPECT_EQ(server.request_count("/board"), 0);

    script_result(pane, "document.querySelector('button').click(); 'pressed'");
    ASSERT_TRUE(wait_until([&] { return title() == "Board"; }, 10s));
    EXPECT_EQ(file_text(folders.certificates / "127.0.0.1.pem"), file_text(dir / "first.pem"));

    // Unattended, the page stays, with the strip, and the pane says why.
    server.set_certificate(second);
    ASSERT_TRUE(pane.refresh(ReloadCause::schedule));
    const Gtk::Label& strip = stale_strip(pane);
    EXPECT_TRUE(wait_until(
        [&] { return strip.get_mapped() && strip.get_text().raw().ends_with("certificato non attendibile"); }, 30s));
    EXPECT_EQ(title(), "Board");
    EXPECT_EQ(pane.health().failure, "certificato non attendibile");

    // A countdown's reload stays unattended though it comes while a person's key press (or
    // a modal dialog opened by one) is being handled; the person's own shows the page.
    ReloadCause cause = ReloadCause::schedule;
    shown.window.signal_key_press_event().connect([&](GdkEventKey*) { return pane.refresh(cause); }, false);
    const auto press_key = [this] {
        GdkEvent* key = gdk_event_new(GDK_KEY_PRESS);
        key->key.window = GDK_WINDOW(g_object_ref(shown.window.get_window()->gobj()));
        key->key.keyval = GDK_KEY_F5;
        gdk_event_set_device(key, gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
        gtk_main_do_event(key);
        gdk_event_free(key);
    };
    press_key();
    EXPECT_FALSE(wait_until([&] { return shows("Certificato non attendibile"); }, 2s));
    cause = ReloadCause::person;
    press_key();
    EXPECT_TRUE(wait_until([&] { return shows("Certificato non attendibile") && shows("cambiato"); }, 10s));
    EXPECT_TRUE(shows(fingerprint(dir, "second")));
    EXPECT_FALSE(strip.get_mapped());
}

// The accept button's one promise: only our page, as shown now, trusts a certificate.
TEST_F(CertificateTest, NoOtherPageAndNoPageShownBeforeCanHaveACertificateTrusted) {
    ASSERT_TRUE(first && second) << "openssl made no certificates";
    LocalHttpServer secure(second), plain;
    secure.serve("/", "text/html", "<title>Secure</title>");
    pane.navigate(secure.url("/"));
    ASSERT_TRUE(wait_until([&] { return shows("Certificato non attendibile"); }, 10s));
    const std::string token = js(pane, "document.querySelector('button').getAttribute('onclick').split(\"'\")[1]");
    const auto post = [&](const std::string& what) {
        return js(pane, "window.webkit.messageHandlers.orvalisCertificato.postMessage('" + what + "'); 'posted'");
    };
    ASSERT_EQ(post(token + "0"), "posted");

    // A page of the network that learned the token of a page shown before.
    plain.serve("/", "text/html", "<title>Plain</title>");
    ASSERT_TRUE(navigate_and_wait(pane, plain.url("/")));
    ASSERT_EQ(post(token), "posted");
    pane.navigate(secure.url("/"));
    EXPECT_TRUE(wait_until([&] { return shows("Certificato non attendibile"); }, 10s));
    EXPECT_FALSE(fs::exists(folders.certificates / "127.0.0.1.pem"));
}

// A certificate accepted for an IPv6 literal is trusted there, and kept under its name.
TEST_F(CertificateTest, CertificateOfAnIpv6HostIsAcceptedThere) {
    ASSERT_TRUE(first && second) << "openssl made no certificates";
    // openssl's own server: libsoup's drops the greeting in which WebKit names [::1].
    const std::string pem = dir / "second.pem", key = dir / "second.key";
    const char* argv[] = {"openssl", "s_server", "-6", "-accept", "[::1]:0", "-cert", pem.c_str(), "-key", key.c_str(),
                          "-www", nullptr};
    GPid pid = 0;
    gint out = -1;
    ASSERT_TRUE(g_spawn_async_with_pipes(nullptr, const_cast<char**>(argv), nullptr,
                                         GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_STDERR_TO_DEV_NULL), nullptr,
                                         nullptr, &pid, nullptr, &out, nullptr, nullptr));
    const std::unique_ptr<FILE, void (*)(FILE*)> said(fdopen(out, "r"), [](FILE* f) { fclose(f); });
    const std::unique_ptr<void, std::function<void(void*)>> ends(&pid, [pid](void*) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    });
    char line[256] = "";
    while (fgets(line, sizeof line, said.get()) && !std::string_view(line).starts_with("ACCEPT")) {}
    if (!std::string_view(line).starts_with("ACCEPT [::1]:"))
        GTEST_SKIP() << "no IPv6 on this machine";
    const std::string address = "https://" + std::string(line + 7, strcspn(line + 7, "\n")) + "/";
    pane.navigate(address);
    ASSERT_TRUE(wait_until([&] { return shows("Certificato non attendibile"); }, 10s));
    script_result(pane, "document.querySelector('button').click(); 'pressed'");
    EXPECT_TRUE(wait_until([&] { return shows("s_server"); }, 10s)) << "the certificate was not accepted for ::1";
    EXPECT_TRUE(fs::exists(folders.certificates / "::1.pem"));
}
