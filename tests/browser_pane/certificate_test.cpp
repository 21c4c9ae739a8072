// Servers on certificates the test makes itself, trusted once, seeded, or changed.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

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
        keep_website_data(folders);
    }
    static void TearDownTestSuite() {
        g_clear_object(&first);
        g_clear_object(&second);
        fs::remove_all(dir);
    }

    bool shows(const std::string& words) { return page_shows(pane, words); }
    std::string title() { return js(pane, "document.title"); }

    static inline fs::path dir = fs::temp_directory_path() / ("orvalis-certificates-" + std::to_string(getpid()));
    static inline GTlsCertificate* first = nullptr;
    static inline GTlsCertificate* second = nullptr;
    static inline WebsiteDataFolders folders;
    PaneInWindow shown{RecoveryTimes{.retry_delays = {300ms}}};
    BrowserPane& pane = shown.pane;
};

}  // namespace

TEST_F(CertificateTest, SeededCertificateIsTrustedWithoutAClick) {
    ASSERT_TRUE(first && second) << "openssl made no certificates";
    LocalHttpServer seeded(first);
    seeded.serve("/", "text/html", "<title>Seeded</title>");
    ASSERT_TRUE(navigate_and_wait(pane, on_localhost(seeded.url("/"))));
    EXPECT_EQ(title(), "Seeded");
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

    // Waiting does not change a certificate: the page stays, with the strip, untried.
    server.set_certificate(second);
    ASSERT_TRUE(pane.refresh());
    const Gtk::Label& strip = stale_strip(pane);
    EXPECT_TRUE(wait_until(
        [&] { return strip.get_mapped() && strip.get_text().raw().ends_with("certificato non attendibile"); }, 30s));
    EXPECT_EQ(title(), "Board");
    EXPECT_EQ(loads_within(pane, 1s), 0);

    // A person's refresh (here a key press) shows the certificate page, to accept the new one.
    shown.window.signal_key_press_event().connect([this](GdkEventKey*) { return pane.refresh(); }, false);
    GdkEvent* key = gdk_event_new(GDK_KEY_PRESS);
    key->key.window = GDK_WINDOW(g_object_ref(shown.window.get_window()->gobj()));
    key->key.keyval = GDK_KEY_F5;
    gdk_event_set_device(key, gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
    gtk_main_do_event(key);
    gdk_event_free(key);
    EXPECT_TRUE(wait_until([&] { return shows("Certificato non attendibile") && shows("cambiato"); }, 10s));
    EXPECT_TRUE(shows(fingerprint(dir, "second")));
    EXPECT_FALSE(strip.get_mapped());
}
