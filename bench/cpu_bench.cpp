// What the whole program costs the machine: the time to four loaded panes, the
// proportional memory of this process and of every process it started (WebKit's
// web and network processes), and the CPU the process tree uses while the timer runs.
//
// Usage: xvfb-run -a cpu_bench [seconds] [idle seconds]   (default 60 and 0)
// With idle seconds, the tree is first measured as long with the timer stopped.
// With ORVALIS_BENCH_SANDBOX=compare, all of it runs twice: pages in WebKit's
// sandbox, then without it.
//
// CPU is the growth, between a sample at the timer's start and one at the end, of
// one counter: utime + stime + cutime + cstime summed over the tree. A process
// started during the run counts in full (it was not there at the start); one that
// ended during the run counts through its parent's cutime/cstime once a process of
// the tree has waited for it, as GLib does for the children it spawns. Only a
// process that left the tree without being waited for would go uncounted; the
// bench lists every process that appeared or ended so that such a case shows.

#include <glib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "bench_stand.h"
#include "platform/engine_allocator.h"
#include "main_window/main_window.h"
#include "process_tree.h"

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;
using Seconds = std::chrono::duration<double>;
using ProcessKey = std::pair<pid_t, unsigned long long>;

double mib(long long kib) { return static_cast<double>(kib) / 1024.0; }

void print_pss(const char* when) {
    const auto tree = sample_process_tree(getpid());
    long long total = 0;
    std::string lines;
    for (const auto& process : tree) {
        const auto pss = pss_kib(process.pid);
        if (pss)
            total += *pss;
        char line[160];
        std::snprintf(line, sizeof line, "  pid %-7d %-16s %8.1f MiB\n", static_cast<int>(process.pid),
                      process.name.c_str(), pss ? mib(*pss) : 0.0);
        lines += line;
    }
    std::printf("PSS %s: %.1f MiB in %zu processes\n%s", when, mib(total), tree.size(), lines.c_str());
}

std::string address_of(const std::filesystem::path& file) {
    gchar* uri = g_filename_to_uri(file.c_str(), nullptr, nullptr);
    std::string address = uri ? uri : "";
    g_free(uri);
    return address;
}

std::map<ProcessKey, ProcessSample> by_identity(const std::vector<ProcessSample>& tree) {
    std::map<ProcessKey, ProcessSample> map;
    for (const auto& process : tree) map.emplace(ProcessKey{process.pid, process.start_time}, process);
    return map;
}

constexpr int kSliceSeconds = 10;

double cpu_seconds(unsigned long long clock_ticks) {
    return static_cast<double>(clock_ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double percent_of_core(unsigned long long clock_ticks, double wall_seconds) {
    return 100.0 * cpu_seconds(clock_ticks) / wall_seconds;
}

void print_cpu(const char* what, const std::vector<ProcessSample>& before, const std::vector<ProcessSample>& after,
               double wall) {
    const unsigned long long grown = tree_ticks(after) - std::min(tree_ticks(after), tree_ticks(before));
    std::printf("CPU of the tree %s: %.2f %% of one core (%.2f s CPU over %.1f s wall)\n", what,
                percent_of_core(grown, wall), cpu_seconds(grown), wall);

    const auto start = by_identity(before);
    const auto end = by_identity(after);
    for (const auto& [key, process] : end) {
        const auto was = start.find(key);
        const unsigned long long then = was == start.end() ? 0 : was->second.own_ticks + was->second.reaped_ticks;
        std::printf("  pid %-7d %-16s %6.2f %%%s\n", static_cast<int>(key.first), process.name.c_str(),
                    percent_of_core(process.own_ticks + process.reaped_ticks - then, wall),
                    was == start.end() ? "  (started during the run)" : "");
    }
    for (const auto& [key, process] : start)
        if (!end.contains(key))
            std::printf("  pid %-7d %-16s ended during the run (counted in its parent if reaped)\n",
                        static_cast<int>(key.first), process.name.c_str());
}

// Runs the main loop for the given time after start(), then prints what the tree and,
// for comparison, the X server used meanwhile.
void measure_cpu(const char* what, int seconds, const std::function<void()>& start) {
    const auto x_server = find_x_server();
    const auto x_before = x_server ? sample_process(*x_server) : std::nullopt;
    const auto before = sample_process_tree(getpid());
    const auto run_start = Clock::now();
    start();
    // In slices, so that the first seconds' one-off work shows apart from the steady state.
    std::string slices;
    auto slice_start = run_start;
    auto slice_ticks = tree_ticks(before);
    for (int left = seconds; left > 0; left -= kSliceSeconds) {
        run_main_loop_for(std::chrono::seconds(std::min(left, kSliceSeconds)));
        const auto ticks = tree_ticks(sample_process_tree(getpid()));
        const auto now = Clock::now();
        char slice[16];
        std::snprintf(slice, sizeof slice, " %.2f", percent_of_core(ticks - std::min(ticks, slice_ticks),
                                                                   Seconds(now - slice_start).count()));
        slices += slice;
        slice_start = now;
        slice_ticks = ticks;
    }
    const auto after = sample_process_tree(getpid());
    const double wall = Seconds(Clock::now() - run_start).count();
    const auto x_after = x_server ? sample_process(*x_server) : std::nullopt;

    print_cpu(what, before, after, wall);
    std::printf("  tree, %d s at a time: %s %%\n", kSliceSeconds, slices.c_str());
    if (x_before && x_after && x_before->start_time == x_after->start_time)
        std::printf("  X server (outside the tree, for comparison): pid %d %.2f %% of one core\n",
                    static_cast<int>(*x_server), percent_of_core(x_after->own_ticks - x_before->own_ticks, wall));
}

int measure(int argc, char** argv, const BenchFolder& folder) {
    const auto t0 = Clock::now();
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const int idle_seconds = argc > 2 ? std::atoi(argv[2]) : 0;
    if (seconds < 1 || idle_seconds < 0) {
        std::fprintf(stderr, "usage: cpu_bench [seconds] [idle seconds]\n");
        return 2;
    }
    if (!start_gtk(argc, argv, folder.path() / "home")) {
        std::fprintf(stderr, "cpu_bench: no display; run it under xvfb-run -a\n");
        return 1;
    }
    const auto gtk_ready = Clock::now();

    // Pages from files: a server in this process would add its own thread's CPU.
    BenchPanes panes;
    for (int n = 1; n <= 4; ++n) {
        const auto page = folder.path() / ("page" + std::to_string(n) + ".html");
        std::ofstream(page, std::ios::binary) << bench_page(n);
        panes[n - 1] = {address_of(page), 50 * (n - 1), 300 * n};
    }
    // Every pane flagged, as a user running the timer would have them: a run of
    // 120 s or more includes the reloads.
    write_settings_file(folder.path() / "dati.cfg", panes, 1);

    const auto building = Clock::now();
    MainWindow window(folder.path() / "dati.cfg");
    window.show();
    const auto shown = Clock::now();
    if (!wait_for_first_loads(window, std::chrono::seconds(60))) {
        std::fprintf(stderr, "cpu_bench: the four pages did not load within 60 s\n");
        return 1;
    }
    const auto loaded = Clock::now();
    if (!panes_show_bench_pages(window)) {
        std::fprintf(stderr, "cpu_bench: a pane shows something else than its page\n");
        return 1;
    }

    std::printf("start (ms from the start of main): GTK ready %.0f, window built and shown %.0f "
                "(of which the window %.0f), four loads finished %.0f\n",
                Millis(gtk_ready - t0).count(), Millis(shown - t0).count(), Millis(shown - building).count(),
                Millis(loaded - t0).count());
    print_pss("after the four loads");

    // What four static pages cost with nobody ticking, to tell the timer's share apart.
    if (idle_seconds > 0)
        measure_cpu("with the timer stopped", idle_seconds, [] {});
    measure_cpu("while the timer ran", seconds, [&window] { window.toggle_timer(); });
    std::printf("timer ran %d s; the counter reads \"%s\"\n", seconds,
                window.countdown_entry().get_label().c_str());
    print_pss("at the end");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    platform::send_engine_allocations_through_malloc(argv);
    const auto bench = [&] {
        return run_bench("cpu-bench", [&](const BenchFolder& folder) { return measure(argc, argv, folder); });
    };
    // ORVALIS_BENCH_SANDBOX=compare: the same measurement twice, pages in WebKit's
    // sandbox and then without it (WebKit's own switch), to show what the sandbox costs.
    const char* sandbox = std::getenv("ORVALIS_BENCH_SANDBOX");
    if (!sandbox || std::string(sandbox) != "compare")
        return bench();
    std::printf("=== pages in the sandbox\n");
    std::fflush(stdout);
    const int in_sandbox = bench();
    g_setenv("WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS", "1", TRUE);
    std::printf("=== pages without the sandbox\n");
    std::fflush(stdout);
    const int without = bench();
    return in_sandbox != 0 ? in_sandbox : without;
}
