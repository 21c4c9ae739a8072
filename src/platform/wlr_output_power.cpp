#include "platform/wlr_output_power.h"

#include <wayland-client.h>

#include <cstring>
#include <vector>

#include "wlr-output-power-management-unstable-v1-client-protocol.h"

namespace platform {

struct WlrOutputPower::Impl {
    struct Output {
        uint32_t name;
        wl_output* output;
        zwlr_output_power_v1* power;
    };

    wl_display* display = nullptr;
    wl_event_queue* queue = nullptr;
    wl_display* wrapper = nullptr;
    wl_registry* registry = nullptr;
    zwlr_output_power_manager_v1* manager = nullptr;
    std::vector<Output> outputs;
    static const wl_registry_listener registry_listener;
    static const zwlr_output_power_v1_listener power_listener;

    static void global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
        auto* impl = static_cast<Impl*>(data);
        if (std::strcmp(interface, zwlr_output_power_manager_v1_interface.name) == 0 && !impl->manager) {
            impl->manager = static_cast<zwlr_output_power_manager_v1*>(
                wl_registry_bind(registry, name, &zwlr_output_power_manager_v1_interface, 1));
        } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
            auto* output = static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, 1));
            impl->outputs.push_back({name, output, nullptr});
        }
    }
    static void global_remove(void* data, wl_registry*, uint32_t name) {
        auto& outputs = static_cast<Impl*>(data)->outputs;
        for (auto it = outputs.begin(); it != outputs.end(); ++it) {
            if (it->name != name) continue;
            forget(*it);
            outputs.erase(it);
            return;
        }
    }
    static void forget(Output& output) {
        if (output.power) zwlr_output_power_v1_destroy(output.power);
        wl_output_destroy(output.output);
    }
    // The compositor says what the mode became; nothing to do with it.
    static void mode(void*, zwlr_output_power_v1*, uint32_t) {}
    // Another client holds that output's power, or it went away: asked again next time.
    static void failed(void* data, zwlr_output_power_v1* power) {
        for (auto& output : static_cast<Impl*>(data)->outputs)
            if (output.power == power) output.power = nullptr;
        zwlr_output_power_v1_destroy(power);
    }
};

const wl_registry_listener WlrOutputPower::Impl::registry_listener = {&Impl::global, &Impl::global_remove};
const zwlr_output_power_v1_listener WlrOutputPower::Impl::power_listener = {&Impl::mode, &Impl::failed};

WlrOutputPower::WlrOutputPower(wl_display* display) : impl_(std::make_unique<Impl>()) {
    if (!display) return;
    impl_->display = display;
    impl_->queue = wl_display_create_queue(display);
    impl_->wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(impl_->wrapper), impl_->queue);
    impl_->registry = wl_display_get_registry(impl_->wrapper);
    wl_registry_add_listener(impl_->registry, &Impl::registry_listener, impl_.get());
    wl_display_roundtrip_queue(display, impl_->queue);
}

WlrOutputPower::~WlrOutputPower() {
    if (!impl_->display) return;
    // Events already read for our objects go first, while the objects are there.
    wl_display_dispatch_queue_pending(impl_->display, impl_->queue);
    for (auto& output : impl_->outputs) Impl::forget(output);
    if (impl_->manager) zwlr_output_power_manager_v1_destroy(impl_->manager);
    wl_registry_destroy(impl_->registry);
    wl_proxy_wrapper_destroy(impl_->wrapper);
    wl_display_flush(impl_->display);
    wl_event_queue_destroy(impl_->queue);
}

bool WlrOutputPower::available() const { return impl_->manager != nullptr; }

void WlrOutputPower::set_on(bool on) {
    if (!impl_->manager) return;
    // Outputs added or gone and failed controls, as read from the socket since.
    wl_display_dispatch_queue_pending(impl_->display, impl_->queue);
    for (auto& output : impl_->outputs) {
        if (!output.power) {
            output.power = zwlr_output_power_manager_v1_get_output_power(impl_->manager, output.output);
            zwlr_output_power_v1_add_listener(output.power, &Impl::power_listener, impl_.get());
        }
        zwlr_output_power_v1_set_mode(output.power, on ? ZWLR_OUTPUT_POWER_V1_MODE_ON : ZWLR_OUTPUT_POWER_V1_MODE_OFF);
    }
    wl_display_flush(impl_->display);
}

}  // namespace platform
