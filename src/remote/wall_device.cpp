#include "remote/wall_device.h"

#include <systemd/sd-id128.h>

#include <cctype>
#include <cstdlib>
#include <iostream>

#include "main_window/wall_status.h"
#include "main_window/window_picture.h"
#include "remote/mqtt_payloads.h"
#include "text/address_text.h"

namespace remote {
namespace {

// Names the wall's machine without giving its machine id away.
std::string machine_identity() {
    constexpr sd_id128_t kOrvalis = SD_ID128_MAKE(6c, 1e, 42, 7a, 93, 0b, 4f, 5d, 8e, 21, c4, 77, 0a, 39, d2, 5b);
    sd_id128_t id;
    char text[SD_ID128_STRING_MAX];
    if (sd_id128_get_machine_app_specific(kOrvalis, &id) == 0) return sd_id128_to_string(id, text);
    gchar* sum = g_compute_checksum_for_string(G_CHECKSUM_SHA256, g_get_host_name(), -1);
    std::string identity = sum;
    g_free(sum);
    return identity;
}

std::string on_off(bool on) { return on ? kOn : kOff; }

// Why payload does not suit entity, or "".
std::string payload_problem(const Entity& entity, const std::string& payload) {
    switch (entity.component) {
    case Component::Button: return payload == kPress ? "" : "un pulsante vuole PRESS";
    case Component::Switch: return payload == kOn || payload == kOff ? "" : "un interruttore vuole ON o OFF";
    case Component::Number: return zoom_percent(payload) ? "" : "lo zoom è un numero da 30 a 300";
    case Component::Text: return address_problem(payload);
    default: return "non prende comandi";
    }
}

bool takes_commands(const Entity& entity) {
    return entity.component != Component::Sensor && entity.component != Component::Image;
}

bool long_text(const Entity& entity) { return entity.component == Component::Text || entity.component == Component::Sensor; }

}  // namespace

WallDevice::WallDevice(MainWindow& window, const MqttOptions& options, const std::string& app_id)
    : window_(window), device_{node_id(app_id, machine_identity()), options.name, options.prefix, ORVALIS_VERSION} {
    for (const Entity& entity : wall_entities()) bindings_.push_back(bind(entity));
    MqttSession session{options.host, options.port, options.tls, options.user, options.password, device_.node,
                        availability_topic(device_)};
    link_ = std::make_unique<MqttLink>(
        session, [this] { on_connected(); },
        [this](const std::string& topic, const std::string& payload, bool retained) {
            on_message(topic, payload, retained);
        });
    // Changes made at the wall or over D-Bus have no signal in common: a look once a
    // second finds them, and sends only what changed.
    state_watch_ = g_timeout_add_seconds(1, [](gpointer self) -> gboolean {
        static_cast<WallDevice*>(self)->send_states();
        return G_SOURCE_CONTINUE;
    }, this);
}

WallDevice::~WallDevice() {
    g_source_remove(state_watch_);
    if (states_soon_) g_source_remove(states_soon_);
}

WallDevice::Binding WallDevice::bind(const Entity& entity) {
    const std::string& suffix = entity.suffix;
    const auto named = [&suffix](const char* start) { return suffix.rfind(start, 0) == 0; };
    const int n = std::isdigit(static_cast<unsigned char>(suffix.back())) ? suffix.back() - '0' : 0;
    MainWindow* w = &window_;
    if (suffix == "_aggiorna")
        return {entity, {}, [w](const std::string&) { w->refresh_flagged_panes(ReloadCause::schedule); }};
    if (suffix == "_timer")
        return {entity, [w] { return on_off(w->timer_running()); },
                [w](const std::string& payload) { w->set_timer(payload == kOn); }};
    if (suffix == "_schermo_intero")
        return {entity, [w] { return on_off(w->is_full_screen()); }, [w](const std::string& payload) {
                    if (payload == kOn) w->fullscreen();
                    else w->unfullscreen();
                }};
    // Lit or dark as the dark hours' switch from afar: until their next edge.
    if (suffix == "_schermo")
        return {entity, [w] { return on_off(w->screen().lit()); },
                [w](const std::string& payload) { w->screen().set_lit(payload == kOn); }};
    if (suffix == "_fotografa")
        return {entity, {}, [this](const std::string&) {
                    take_window_picture(window_, "", [alive = std::weak_ptr(alive_)](const std::string& png) {
                        if (auto device = alive.lock()) (*device)->send_picture(png);
                    });
                }};
    if (named("_aggiorna_"))
        return {entity, {}, [w, n](const std::string&) { w->pane(n).refresh(ReloadCause::schedule); }};
    if (named("_indirizzo_"))
        return {entity, [w, n] { return text::address_without_credentials(w->pane(n).health().address); },
                [w, n](const std::string& address) { w->pane(n).navigate(address); }};
    if (named("_zoom_"))
        return {entity, [w, n] { return std::to_string(w->pane(n).zoom()); },
                [w, n](const std::string& payload) { w->zoom().set(n, *zoom_percent(payload) / 100); }};
    if (named("_stato_")) return {entity, [this, n] { return status_lines_[n - 1]; }, {}};
    return {entity, {}, {}};  // the screenshot's image: sent when taken
}

void WallDevice::on_connected() {
    link_->subscribe(status_topic(device_));
    sent_.clear();
    for (const Binding& binding : bindings_) announce(binding);
    link_->publish(availability_topic(device_), "online", true);
    send_states();
}

void WallDevice::announce(const Binding& binding) {
    if (takes_commands(binding.entity)) link_->subscribe(command_topic(device_, binding.entity));
    link_->publish(discovery_topic(device_, binding.entity), discovery_message(device_, binding.entity), true);
}

void WallDevice::on_message(const std::string& topic, const std::string& payload, bool retained) {
    if (topic == status_topic(device_)) {
        // Home Assistant is back and has forgotten the device: announce it again.
        if (payload == "online") on_connected();
        return;
    }
    for (const Binding& binding : bindings_) {
        if (!takes_commands(binding.entity) || topic != command_topic(device_, binding.entity)) continue;
        // A command kept by the broker would act again at every connection.
        const std::string problem = retained ? "i comandi non vanno conservati (retain)"
                                             : payload_problem(binding.entity, payload);
        if (!problem.empty()) {
            std::cerr << "orvalis: MQTT: " << device_.node << binding.entity.suffix << ": ignorato "
                      << quoted_payload(payload) << ": " << problem << '\n';
        } else if (binding.command) {
            binding.command(payload);
            send_states_soon();
        }
        return;
    }
}

void WallDevice::send_states_soon() {
    if (!states_soon_)
        states_soon_ = g_idle_add([](gpointer self) -> gboolean {
            auto* device = static_cast<WallDevice*>(self);
            device->states_soon_ = 0;
            device->send_states();
            return G_SOURCE_REMOVE;
        }, this);
}

void WallDevice::send_states() {
    if (!link_->connected()) return;
    // Once for the four panes' sensors, not once for each.
    status_lines_ = pane_status_lines(window_.health());
    const auto send = [this](const std::string& topic, const std::string& payload) {
        const auto [last, first] = sent_.try_emplace(topic, payload);
        if (!first && last->second == payload) return;
        last->second = payload;
        link_->publish(topic, payload, true);
    };
    for (const Binding& binding : bindings_) {
        if (!binding.state) continue;
        const std::string state = binding.state();
        send(state_topic(device_, binding.entity), short_state(state));
        if (long_text(binding.entity)) send(attributes_topic(device_, binding.entity), full_text_attributes(state));
    }
}

void WallDevice::send_picture(const std::string& png) {
    for (const Binding& binding : bindings_)
        if (binding.entity.component == Component::Image) link_->publish(state_topic(device_, binding.entity), png, true);
}

std::unique_ptr<WallDevice> start_wall_device(MainWindow& window, const std::string& app_id,
                                              const std::map<std::string, std::string>& mqtt_group) {
    const char* credentials = std::getenv("CREDENTIALS_DIRECTORY");
    const auto read = mqtt_options(mqtt_group, g_get_host_name(), credentials ? credentials : "");
    for (const auto& complaint : read.complaints) std::cerr << complaint << '\n';
    if (!read.options) return nullptr;
    return std::make_unique<WallDevice>(window, *read.options, app_id);
}

}  // namespace remote
