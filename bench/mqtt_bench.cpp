// What MQTT costs a wall that nobody drives: the CPU of the program's own process,
// and of its whole tree, with four loaded pages and the timer stopped, first with
// MQTT off, then connected to a local broker and idle, each for as long.
//
// Usage: xvfb-run -a mqtt_bench [seconds]   (default 60)

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_stand.h"
#include "main_window/main_window.h"
#include "platform/engine_allocator.h"
#include "process_tree.h"
#include "remote/wall_device.h"
#include "support/mqtt_broker.h"
#include "support/wait_until.h"

namespace {

using Seconds = std::chrono::duration<double>;

struct Cost {
    double own = 0;   // % of one core, this process
    double tree = 0;  // % of one core, with WebKit's processes
};

Cost measure_idle(int seconds) {
    const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
    const auto own_before = sample_process(getpid());
    const auto tree_before = tree_ticks(sample_process_tree(getpid()));
    const auto start = std::chrono::steady_clock::now();
    run_main_loop_for(std::chrono::seconds(seconds));
    const double wall = Seconds(std::chrono::steady_clock::now() - start).count();
    const auto own_after = sample_process(getpid());
    const auto tree_after = tree_ticks(sample_process_tree(getpid()));
    return {100.0 * static_cast<double>(own_after->own_ticks - own_before->own_ticks) / tick / wall,
            100.0 * static_cast<double>(tree_after - tree_before) / tick / wall};
}

int measure(int argc, char** argv, const BenchFolder& folder) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    if (seconds < 1 || !start_gtk(argc, argv, folder.path() / "home")) {
        std::fprintf(stderr, "usage: xvfb-run -a mqtt_bench [seconds]\n");
        return 2;
    }
    BenchPanes panes;
    for (int n = 1; n <= 4; ++n) {
        const auto page = folder.path() / ("page" + std::to_string(n) + ".html");
        std::ofstream(page, std::ios::binary) << bench_page(n);
        panes[n - 1] = {"file://" + page.string(), 0, 100 * n};
    }
    write_settings_file(folder.path() / "dati.cfg", panes, 1);
    MainWindow window(folder.path() / "dati.cfg");
    if (!show_and_load_bench_pages(window, "mqtt_bench")) return 1;

    const Cost off = measure_idle(seconds);

    MqttBroker broker(folder.path(), "parete", "segreta");
    const auto password = folder.path() / "password";
    std::ofstream(password) << "segreta\n";
    std::filesystem::permissions(password, std::filesystem::perms::owner_read);
    MqttClient assistant(broker.port(), "parete", "segreta");
    assistant.subscribe("orvalis/+/disponibile");
    const auto device = remote::start_wall_device(
        window, "org.orvalis.Orvalis.Bench",
        {{"Server", "mqtt://127.0.0.1:" + std::to_string(broker.port())}, {"Utente", "parete"},
         {"FilePassword", password.string()}});
    if (!device || !wait_until([&] { return !assistant.under("orvalis/").empty(); }, std::chrono::seconds(30))) {
        std::fprintf(stderr, "mqtt_bench: the wall did not reach the broker\n");
        return 1;
    }
    run_main_loop_for(std::chrono::seconds(2));  // the first states, sent once
    const Cost on = measure_idle(seconds);

    std::printf("idle wall, four loaded pages, timer stopped, %d s each (%% of one core):\n", seconds);
    std::printf("  MQTT off:              program %.3f %%, with WebKit's processes %.3f %%\n", off.own, off.tree);
    std::printf("  MQTT on, idle:         program %.3f %%, with WebKit's processes %.3f %%\n", on.own, on.tree);
    std::printf("  difference:            program %+.3f %%, with WebKit's processes %+.3f %%\n", on.own - off.own,
                on.tree - off.tree);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    platform::send_engine_allocations_through_malloc(argv);
    return run_bench("mqtt-bench", [&](const BenchFolder& folder) { return measure(argc, argv, folder); });
}
