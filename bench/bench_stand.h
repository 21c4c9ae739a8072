#pragma once
// What both benchmarks set up before they measure: a private home for the web
// engine's data and cache, GTK, four long static pages, a settings file naming them
// with non-zero scroll offsets, and a wait for the main window's first four loads.
// What to measure, and how to print it, is left to each benchmark.

#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

class LocalHttpServer;
class MainWindow;

// A folder under the system's temporary folder, removed with everything in it.
// WebKit's network process writes its storage on its way out, after the process that
// started it has ended, so the folder must outlive the benchmark: see run_and_reap.
class BenchFolder {
public:
    explicit BenchFolder(const char* name_template);
    ~BenchFolder();
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Runs measure in a child process and returns its exit code once the child and
// every process it started (adopted here as their subreaper) have ended. Call it
// before GTK starts any thread; the child never returns from it. With the environment
// variable ORVALIS_BENCH_IN_PROCESS set it runs measure in this process instead, so
// that a heap profiler, which follows only the process it started, sees it.
int run_and_reap(const std::function<int()>& measure);

// A benchmark's main(): a temporary folder named from name, then measure in a child
// through run_and_reap; the folder goes once every process has ended.
int run_bench(const char* name, const std::function<int(const BenchFolder&)>& measure);

// Points the XDG data, cache and config folders into data_home, so that nothing
// lands in $HOME, silences the accessibility bridge and starts GTK and gtkmm.
// False without a display.
bool start_gtk(int& argc, char**& argv, const std::filesystem::path& data_home);

struct BenchPane {
    std::string address;
    int scroll_x = 0;
    int scroll_y = 0;
};
using BenchPanes = std::array<BenchPane, 4>;

// A static page, much taller and wider than a quarter of the screen, with no script
// and nothing animated, so that whatever it costs is the program's. Its title is
// bench_page_title(n).
std::string bench_page(int n);
std::string bench_page_title(int n);
// A dashboard of the same title whose document never scrolls: a header over 300 rows
// of 60 pixels in a box that scrolls. Panes hold it by panning.
std::string bench_dashboard_page(int n);

// The 17-line settings file: the panes' offsets and addresses, every refresh flag
// set to refresh_flag, no launcher.
void write_settings_file(const std::filesystem::path& file, const BenchPanes& panes, int refresh_flag);

// Serves page(n) at /page<n>.html on server, n = 1 to 4, and names them with
// non-zero scroll offsets.
BenchPanes serve_bench_pages(LocalHttpServer& server, const std::function<std::string(int n)>& page);

// Runs start (which may start loads) and waits until every pane has finished a load
// since; false when the deadline passed first.
bool wait_for_pane_loads(MainWindow& window, std::chrono::milliseconds deadline,
                         const std::function<void()>& start = {});
// True once every pane has finished its first load; false when the deadline passed first.
inline bool wait_for_first_loads(MainWindow& window, std::chrono::milliseconds deadline) {
    // The window navigated its panes while it was built, but nothing has run the
    // main loop since, so no load can have finished unseen.
    return wait_for_pane_loads(window, deadline);
}
// True when pane n shows bench page n, not an error page of a failed load.
bool panes_show_bench_pages(MainWindow& window);
// Shows the window and waits for its four bench pages; false, with a line on standard
// error in the bench's name, when they did not all load within 60 s.
bool show_and_load_bench_pages(MainWindow& window, const char* bench);

// Runs the default main context for the given time, handling whatever comes.
void run_main_loop_for(std::chrono::milliseconds duration);
