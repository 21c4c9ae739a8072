// The real wall as a device of Home Assistant, on a broker of the test's own: found by
// discovery and driven only through the topics discovery names, through nonsense, a
// restart of the broker and a kill of the wall.

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/local_http_server.h"
#include "support/mqtt_broker.h"
#include "support/program_run.h"
#include "support/wait_until.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

// The string value of key in a flat JSON object, unescaped; "" when it has none.
std::string json_field(const std::string& json, const std::string& key) {
    const std::string opening = "\"" + key + "\":\"";
    auto at = json.find(opening);
    std::string value;
    if (at == std::string::npos) return value;
    for (at += opening.size(); at < json.size() && json[at] != '"'; ++at) value += json[at] == '\\' ? json[++at] : json[at];
    return value;
}

// A PNG that decodes to a picture of more than one colour, as a drawn window is.
bool shows_something(const std::string& png) {
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("png", nullptr);
    const bool read = gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(png.data()), png.size(), nullptr) &&
                      gdk_pixbuf_loader_close(loader, nullptr);
    GdkPixbuf* picture = read ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
    const guchar* pixels = picture ? gdk_pixbuf_read_pixels(picture) : nullptr;
    const std::size_t size = picture ? gdk_pixbuf_get_byte_length(picture) : 0;
    const bool varied = pixels && std::any_of(pixels, pixels + size, [&](guchar byte) { return byte != pixels[0]; });
    g_object_unref(loader);
    return varied;
}

bool ends_with(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(WallMqtt, HomeAssistantFindsTheWallDrivesItAndSeesItGo) {
    TempFolder home{"orvalis-mqtt"};
    LocalHttpServer server;
    std::string settings;
    for (int i = 0; i < 8; ++i) settings += " 0 \r\n";
    for (const char* path : {"/1", "/2", "/3", "/4", "/camera"}) server.serve(path, "text/html", std::string("<p>") + path);
    for (const char* path : {"/1", "/2", "/3", "/4"}) settings += server.url(path) + "\r\n";
    settings += " 0 \r\n 0 \r\n 0 \r\n 1 \r\n";  // only pane 4 is refreshed with the others
    const fs::path config = write_file(home / "sala.cfg", settings);

    MqttBroker broker(home.path(), "parete", "segreta");
    const fs::path password = write_file(home / "password", "segreta\n");
    fs::permissions(password, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_directories(home / "config/orvalis");
    write_file(home / "config/orvalis/orvalis.conf", "[MQTT]\nServer=mqtt://127.0.0.1:" + std::to_string(broker.port()) +
                                                       "\nUtente=parete\nFilePassword=" + password.string() +
                                                       "\nNome=Parete prova\n");
    // On Weston's headless compositor, which, unlike a bare X server, makes a window full screen.
    TempFolder runtime{"orvalis-wayland"};
    RunningProgram weston({"weston", "--backend=headless-backend.so", "--socket=orvalis-0", "--idle-time=0", "--no-config"},
                          {"XDG_RUNTIME_DIR=" + runtime.path().string()});
    ASSERT_TRUE(wait_until([&] { return fs::exists(runtime / "orvalis-0") || weston.ended(); }, 20s) && !weston.ended())
        << weston.err();
    const std::vector<std::string> env{"XDG_DATA_HOME=" + (home / "data").string(),
                                       "XDG_CACHE_HOME=" + (home / "cache").string(),
                                       "XDG_CONFIG_HOME=" + (home / "config").string(),
                                       "XDG_CONFIG_DIRS=" + (home / "system").string(),
                                       "XDG_RUNTIME_DIR=" + runtime.path().string(), "WAYLAND_DISPLAY=orvalis-0",
                                       "GDK_BACKEND=wayland", "DISPLAY"};
    RunningProgram wall({ORVALIS_PROGRAM, "--config", config.string()}, env);

    // The device as discovery announces it, each entity found by the end of its unique_id.
    MqttClient assistant(broker.port(), "parete", "segreta");
    assistant.subscribe("homeassistant/#");
    std::vector<std::string> suffixes{"_aggiorna", "_timer", "_schermo_intero", "_schermo", "_fotografa", "_schermata"};
    for (const std::string n : {"1", "2", "3", "4"})
        suffixes.insert(suffixes.end(), {"_aggiorna_" + n, "_indirizzo_" + n, "_zoom_" + n, "_stato_" + n});
    std::map<std::string, std::string> entity, discovery_topic;
    ASSERT_TRUE(wait_until([&] {
        for (const auto& [topic, json] : assistant.under("homeassistant/"))
            for (const auto& suffix : suffixes)
                if (ends_with(json_field(json, "unique_id"), suffix)) entity[suffix] = json, discovery_topic[suffix] = topic;
        return entity.size() == suffixes.size() || wall.ended();
    }, 60s) && !wall.ended()) << wall.err();
    const std::string available = json_field(entity["_timer"], "availability_topic");
    for (const auto& [suffix, json] : entity) {
        EXPECT_EQ(json_field(json, "availability_topic"), available) << suffix;
        EXPECT_THAT(json, AllOf(HasSubstr("\"origin\":{\"name\":"), HasSubstr("\"name\":\"Parete prova\""),
                                Not(HasSubstr("~"))));
        for (const char* key : {"state_topic", "json_attributes_topic", "image_topic"})
            if (!json_field(json, key).empty()) assistant.subscribe(json_field(json, key));
    }
    assistant.subscribe(available);
    const auto state = [&](const std::string& suffix) { return json_field(entity[suffix], "state_topic"); };
    const auto command = [&](const std::string& suffix, const std::string& payload) {
        assistant.publish(json_field(entity[suffix], "command_topic"), payload);
    };
    const auto state_holds = [&](const std::string& suffix, const std::string& part) {
        return wait_until([&] { return assistant.last(state(suffix)).value_or("").find(part) != std::string::npos; }, 60s);
    };
    EXPECT_TRUE(assistant.wait_for(available, "online"));
    EXPECT_TRUE(state_holds("_stato_1", "/1 aggiornata alle ")) << wall.err();

    // Every command, its effect, and its state echoed.
    command("_timer", "ON");
    EXPECT_TRUE(assistant.wait_for(state("_timer"), "ON"));
    command("_schermo_intero", "ON");
    EXPECT_TRUE(assistant.wait_for(state("_schermo_intero"), "ON"));
    command("_schermo", "OFF");
    EXPECT_TRUE(assistant.wait_for(state("_schermo"), "OFF"));
    command("_schermo", "ON");
    EXPECT_TRUE(assistant.wait_for(state("_schermo"), "ON"));
    command("_indirizzo_2", server.url("/camera"));
    EXPECT_TRUE(assistant.wait_for(state("_indirizzo_2"), server.url("/camera")));
    EXPECT_TRUE(state_holds("_stato_2", "/camera aggiornata alle "));
    command("_zoom_3", "74");
    EXPECT_TRUE(assistant.wait_for(state("_zoom_3"), "75"));
    EXPECT_TRUE(wait_until([&] { return file_text(config.string() + ".zoom").find("Finestra3=75") != std::string::npos; }, 30s));
    const int loads_of_1 = server.request_count("/1"), loads_of_4 = server.request_count("/4");
    command("_aggiorna_1", "PRESS");
    command("_aggiorna", "PRESS");
    EXPECT_TRUE(wait_until([&] { return server.request_count("/1") > loads_of_1 && server.request_count("/4") > loads_of_4; }, 30s));
    command("_fotografa", "PRESS");
    const std::string image = json_field(entity["_schermata"], "image_topic");
    EXPECT_TRUE(wait_until([&] { return shows_something(assistant.last(image).value_or("")); }, 30s));
    // Changed at the wall, over D-Bus as from ssh.
    const std::string app_id = run_program({ORVALIS_PROGRAM, "--config", config.string(), "--app-id"}, env).out;
    const std::string shot = (home / "schermata.png").string();
    for (const auto& [action, parameter] : {std::pair<std::string, std::string>{"timer", "false"}, {"screenshot", "'" + shot + "'"}})
        run_program({"gapplication", "action", app_id.substr(0, app_id.find('\n')), action, parameter});  // judged by effect
    EXPECT_TRUE(assistant.wait_for(state("_timer"), "OFF"));
    EXPECT_TRUE(wait_until([&] { return shows_something(file_text(shot)); }, 30s));
    run_program({"gapplication", "action", app_id.substr(0, app_id.find('\n')), "screen", "false"});
    EXPECT_TRUE(assistant.wait_for(state("_schermo"), "OFF"));
    command("_schermo", "ON");

    // Nonsense is refused, each with a line, and what follows still works.
    command("_zoom_3", "molto");
    command("_timer", "FORSE");
    for (const std::string& address : std::vector<std::string>{"javascript:alert(1)", "file:///etc/passwd",
                                                               "http://x/" + std::string(3000, 'a'),
                                                               "http://x/" + std::string(300 * 1024, 'a')})
        command("_indirizzo_2", address);
    command("_zoom_3", "100");
    EXPECT_TRUE(assistant.wait_for(state("_zoom_3"), "100"));
    EXPECT_EQ(assistant.last(state("_indirizzo_2")), server.url("/camera"));
    EXPECT_TRUE(wait_until([&] {
        return ::testing::Matches(AllOf(HasSubstr("\"molto\""), HasSubstr("\"FORSE\""), HasSubstr("javascript:"),
                                        HasSubstr("file:"), HasSubstr("3009 caratteri"), HasSubstr("scartato un messaggio di")))(wall.err());
    }, 30s)) << wall.err();

    // Home Assistant back, then the broker: the wall announces itself again.
    int announced = assistant.count(discovery_topic["_timer"]);
    assistant.publish("homeassistant/status", "online");
    EXPECT_TRUE(wait_until([&] { return assistant.count(discovery_topic["_timer"]) > announced; }, 30s));
    announced = assistant.count(discovery_topic["_timer"]);
    const int onlines = assistant.count(available);
    broker.stop();
    broker.start();
    EXPECT_TRUE(wait_until([&] {
        return assistant.count(discovery_topic["_timer"]) > announced && assistant.count(available) > onlines &&
               assistant.last(available) == "online";
    }, 60s)) << wall.err();
    EXPECT_TRUE(assistant.wait_for(state("_zoom_3"), "100"));

    // Killed: the broker says so in the wall's last will, kept for whoever comes later.
    wall.end(SIGKILL);
    MqttClient later(broker.port(), "parete", "segreta");
    later.subscribe(available);
    later.subscribe(discovery_topic["_timer"]);
    EXPECT_TRUE(later.wait_for(available, "offline"));
    EXPECT_TRUE(wait_until([&] { return later.last(discovery_topic["_timer"]).value_or("").rfind('{', 0) == 0; }, 30s));
    EXPECT_THAT(wall.err(), Not(HasSubstr("segreta")));
}

}  // namespace
