// What holding a dashboard by panning costs in memory: one pane, a quarter of a
// 1280x1024 screen, on a page whose document never scrolls. The PSS of every
// process of the tree (the program and WebKit's web and network processes), and the
// anonymous and shared memory of each, with the pane unpanned, panned down by the
// offset, and unpanned again.
//
// Usage: xvfb-run -a pan_bench [offset]   (default 3000 pixels)

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <gtkmm/window.h>

#include "bench_stand.h"
#include "platform/engine_allocator.h"
#include "browser_pane/browser_pane.h"
#include "process_tree.h"
#include "support/local_http_server.h"
#include "support/pane_probe.h"
#include "support/wait_until.h"

namespace {

// Long enough for the page to lay out and paint its new viewport, and for the
// processes to settle what they allocated for it.
constexpr auto kSettle = std::chrono::seconds(5);

bool hold(BrowserPane& pane, int offset) {
    const std::string wanted = std::to_string(pane.widget().get_allocated_height() + offset);
    return wait_until([&] { return pane.set_body_scroll(0, offset) && script_result(pane, "innerHeight") == wanted; },
                      std::chrono::seconds(20));
}

double mib(std::optional<long long> kib) { return kib ? static_cast<double>(*kib) / 1024 : 0; }

void print_tree(const std::string& stage) {
    // Pss shares each library's pages among every process that maps them, so it
    // moves when other programs start or end; anonymous and shared memory is the
    // process's own and moves only with what it allocates.
    std::printf("%s:                      Pss   anon+shmem\n", stage.c_str());
    double total = 0, own_total = 0;
    for (const ProcessSample& process : sample_process_tree(getpid())) {
        const auto pss = pss_kib(process.pid);
        if (!pss)
            continue;
        const double own = mib(rollup_kib(process.pid, "Pss_Anon")) + mib(rollup_kib(process.pid, "Pss_Shmem"));
        total += mib(pss);
        own_total += own;
        std::printf("  %-16s %7d  %8.1f MiB %8.1f MiB\n", process.name.c_str(), static_cast<int>(process.pid),
                    mib(pss), own);
    }
    std::printf("  %-16s %7s  %8.1f MiB %8.1f MiB\n", "total", "", total, own_total);
    std::fflush(stdout);
}

int measure(int argc, char** argv, const BenchFolder& folder) {
    const int offset = argc > 1 ? std::atoi(argv[1]) : 3000;
    if (offset < 1) {
        std::fprintf(stderr, "usage: pan_bench [offset]\n");
        return 2;
    }
    if (!start_gtk(argc, argv, folder.path() / "home")) {
        std::fprintf(stderr, "pan_bench: no display; run it under xvfb-run -a\n");
        return 1;
    }
    LocalHttpServer server;
    server.serve("/board.html", "text/html; charset=utf-8", bench_dashboard_page(1));
    Gtk::Window window;
    window.set_default_size(640, 512);
    BrowserPane pane;
    window.add(pane.widget());
    window.show_all();
    if (!navigate_and_wait(pane, server.url("/board.html"), std::chrono::seconds(60))) {
        std::fprintf(stderr, "pan_bench: the page did not load\n");
        return 1;
    }
    const std::pair<const char*, int> stages[] = {{"unpanned", 0}, {"panned", offset}, {"unpanned again", 0}};
    for (const auto& [stage, at] : stages) {
        if (!hold(pane, at)) {
            std::fprintf(stderr, "pan_bench: the pane did not take offset %d\n", at);
            return 1;
        }
        run_main_loop_for(kSettle);
        print_tree(std::string(stage) + " (offset " + std::to_string(at) + ")");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    platform::send_engine_allocations_through_malloc(argv);
    return run_bench("pan-bench", [&](const BenchFolder& folder) { return measure(argc, argv, folder); });
}
