// Panes that log themselves in, against sites of the test's own: a form login whose
// sessions the test ends, HTTP Basic, and sites that must never see a password.

#include <gtest/gtest.h>

#include <atomic>

#include "credentials/credentials_file.h"
#include "credentials/origin.h"
#include "main_window/wall_status.h"
#include "support/local_http_server.h"
#include "support/pane_probe.h"
#include "support/wait_until.h"

using namespace std::chrono_literals;

namespace {

constexpr const char* kPassword = "pw-5egreta";
const std::string kPostForm = R"(<form method="post" action="/login"><input name="u" autocomplete="username">)"
                              R"(<input type="password" name="p"><button>Entra</button></form>)";

// A dashboard behind a form login: /dash wants the session's cookie, else it sends to
// /login, whose POST with parete and kPassword sets it. A new session logs everyone out.
struct FormLoginSite {
    explicit FormLoginSite(const std::string& form = kPostForm) {
        server.serve("/dash", [this](const LocalHttpServer::Request& request) {
            if (request.cookie.find("s=" + std::to_string(session.load())) != std::string::npos)
                return LocalHttpServer::Response{200, "text/html", "<p>Cruscotto</p>"};
            return LocalHttpServer::Response{302, "text/html", "", false, {{"Location", "/login"}}};
        });
        server.serve("/login", [this, form](const LocalHttpServer::Request& request) {
            if (request.method == "POST" && ++posts &&
                request.body == "u=parete&p=" + std::string(kPassword))
                return LocalHttpServer::Response{302, "text/html", "", false,
                                                 {{"Location", "/dash"}, {"Set-Cookie", "s=" + std::to_string(session.load())}}};
            return LocalHttpServer::Response{200, "text/html", "<p>Accedi</p>" + form};
        });
    }
    LocalHttpServer server;
    std::atomic<int> session{1}, posts{0};
};

void use_logins(const std::vector<std::pair<std::string, std::string>>& origin_and_password) {
    credentials::Credentials logins;
    for (const auto& [url, password] : origin_and_password)
        logins.by_origin[credentials::origin_of_address(url)] = {"parete", password};
    credentials::keep_credentials(logins);
}

bool shows_within(BrowserPane& pane, const std::string& words) {
    return wait_until([&] { return !pane.is_loading() && page_shows(pane, words); }, 20s);
}

std::size_t count_of(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

}  // namespace

TEST(FormLogin, LogsInAtStartAndAgainAfterTheSessionEnds) {
    FormLoginSite site;
    use_logins({{site.server.url("/"), kPassword}});
    PaneInWindow shown;
    std::string address = site.server.url("/dash");
    shown.pane.navigate(address.insert(address.find("127."), "ospite:nascosta@"));
    ASSERT_TRUE(shows_within(shown.pane, "Cruscotto"));
    EXPECT_EQ(site.posts, 1);
    // Addresses shown anywhere keep no user or password.
    EXPECT_EQ(shown.pane.health().address.find("nascosta"), std::string::npos);

    ++site.session;
    ASSERT_TRUE(shown.pane.refresh(ReloadCause::schedule));
    ASSERT_TRUE(wait_until([&] { return site.posts == 2; }, 20s));
    ASSERT_TRUE(shows_within(shown.pane, "Cruscotto"));
    // Judged past the login page only once the page had time to draw a late form.
    loads_within(shown.pane, 3s);
    EXPECT_EQ(site.posts, 2);
    EXPECT_EQ(shown.pane.health().login, "");
    EXPECT_FALSE(stale_strip(shown.pane).get_visible());
}

TEST(FormLogin, AWrongPasswordIsTriedOnceThenHeldWithTheStripAndTheStatus) {
    FormLoginSite site;
    use_logins({{site.server.url("/"), "sbagliata"}});
    PaneInWindow shown;
    shown.pane.navigate(site.server.url("/dash"));
    ASSERT_TRUE(wait_until([&] { return stale_strip(shown.pane).get_visible(); }, 20s));
    EXPECT_EQ(stale_strip(shown.pane).get_text().find("Accesso non riuscito dalle "), 0u);
    EXPECT_EQ(shown.pane.health().login, "accesso non riuscito");
    EXPECT_NE(pane_status_lines({shown.pane.health(), {}, {}, {}})[0].find("accesso non riuscito"), std::string::npos);
    EXPECT_NE(service_status_line({shown.pane.health(), {}, {}, {}}).find("accesso non riuscito"), std::string::npos);

    // Reloads within the hold show the login page as it came, strip and all, and send nothing.
    for (int reload = 0; reload < 2; ++reload) {
        ASSERT_TRUE(shown.pane.refresh(ReloadCause::schedule));
        ASSERT_TRUE(wait_for_load(shown.pane));
        loads_within(shown.pane, 2500ms);
    }
    EXPECT_EQ(site.posts, 1);
    EXPECT_EQ(js(shown.pane, "document.querySelector('input[type=password]').value"), "");
    EXPECT_TRUE(stale_strip(shown.pane).get_visible());
}

TEST(HttpLogin, BasicAndDigestAreAnsweredOnceAndARefusalOrNoLoginShowsOurPage) {
    LocalHttpServer accepting, refusing, unknown;
    for (LocalHttpServer* server : {&accepting, &refusing, &unknown})
        server->serve("/privato", [](const LocalHttpServer::Request& request) {
            gchar* expected = g_base64_encode(reinterpret_cast<const guchar*>("parete:giusta"), 13);
            const bool good = request.authorization == std::string("Basic ") + expected;
            g_free(expected);
            if (good) return LocalHttpServer::Response{200, "text/html", "<p>Privato</p>"};
            return LocalHttpServer::Response{401, "text/html", "", false, {{"WWW-Authenticate", "Basic realm=\"x\""}}};
        });
    LocalHttpServer device;
    device.serve("/privato", "text/html", "<p>Dispositivo</p>");
    device.require_digest("/privato", "parete", "giusta");
    use_logins({{accepting.url("/"), "giusta"}, {refusing.url("/"), "sbagliata"}, {device.url("/"), "giusta"}});
    PaneInWindow shown;
    shown.pane.set_silent(true);
    shown.pane.navigate(accepting.url("/privato"));
    EXPECT_TRUE(shows_within(shown.pane, "Privato"));
    EXPECT_EQ(shown.pane.health().login, "");
    shown.pane.navigate(device.url("/privato"));
    EXPECT_TRUE(shows_within(shown.pane, "Dispositivo"));
    EXPECT_NE(device.received().find("Authorization: Digest"), std::string::npos);

    shown.pane.navigate(refusing.url("/privato"));
    ASSERT_TRUE(shows_within(shown.pane, "Accesso negato"));
    EXPECT_TRUE(page_shows(shown.pane, credentials::origin_of_address(refusing.url("/"))));
    EXPECT_EQ(shown.pane.health().login, "accesso non riuscito");
    ASSERT_TRUE(shown.pane.refresh(ReloadCause::schedule));
    ASSERT_TRUE(shows_within(shown.pane, "Accesso negato"));
    EXPECT_EQ(count_of(refusing.received(), "Authorization: Basic"), 1u);

    shown.pane.navigate(unknown.url("/privato"));
    ASSERT_TRUE(shows_within(shown.pane, "Accesso richiesto"));
    EXPECT_TRUE(page_shows(shown.pane, credentials::user_credentials_file().string()));
    EXPECT_EQ(shown.pane.health().login, "accesso richiesto");
}

TEST(FormLogin, NeverFillsAFormOnAnotherOriginOneThatSendsByGetOrOneForANewPassword) {
    FormLoginSite elsewhere;
    LocalHttpServer own;
    own.serve("/dash", [&elsewhere] {
        return LocalHttpServer::Response{302, "text/html", "", false, {{"Location", elsewhere.server.url("/login")}}};
    });
    own.serve("/get", "text/html", R"(<form action="/login"><input name="u"><input type="password" name="p"></form>)");
    own.serve("/new", "text/html", "<form method=post action=/login><input type=password><input type=password></form>");
    own.serve("/frame", "text/html", "<p>Cruscotto</p><iframe src=\"" + elsewhere.server.url("/login") + "\"></iframe>");
    use_logins({{own.url("/"), kPassword}});
    PaneInWindow shown;
    for (const char* path : {"/dash", "/get", "/new", "/frame"}) {
        ASSERT_TRUE(navigate_and_wait(shown.pane, own.url(path))) << path;
        loads_within(shown.pane, 3s);  // past the second look
    }
    EXPECT_EQ(count_of(elsewhere.server.received(), "GET " + elsewhere.server.url("/login")), 2u);
    EXPECT_EQ(elsewhere.posts, 0);
    EXPECT_EQ(elsewhere.server.received().find(kPassword), std::string::npos);
    EXPECT_EQ(own.received().find(kPassword), std::string::npos);
}

TEST(FormLogin, ASinglePageAppThatDrawsItsFormLateAndSendsItByScriptIsLoggedIn) {
    LocalHttpServer app;
    std::atomic<int> posts{0};
    // The page counts the input events itself: a framework that keeps its own copy of each field sees them.
    app.serve("/app", "text/html", R"(<div id=root></div><script>setTimeout(() => {
  root.innerHTML = '<form method="post" action="/api/login"><input name="email"><input type="password" name="pw">' +
                   '<button type="submit">Accedi</button></form>';
  const form = root.querySelector('form');
  let typed = 0;
  form.querySelectorAll('input').forEach(i => i.addEventListener('input', () => ++typed));
  form.addEventListener('submit', async (e) => {
    e.preventDefault();
    const answer = await fetch('/api/login', {method: 'POST', body: new FormData(form)});
    if (answer.ok && typed == 2) root.innerHTML = '<p>Cruscotto</p>';
  });
}, 1000);</script>)");
    app.serve("/api/login", [&posts](const LocalHttpServer::Request& request) {
        ++posts;
        return LocalHttpServer::Response{request.body.find(kPassword) != std::string::npos ? 200 : 401};
    });
    use_logins({{app.url("/"), kPassword}});
    PaneInWindow shown;
    shown.pane.navigate(app.url("/app"));
    EXPECT_TRUE(shows_within(shown.pane, "Cruscotto"));
    loads_within(shown.pane, 3s);  // judged by the look 2 s after the submission
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(shown.pane.health().login, "");
}
