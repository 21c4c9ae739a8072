#pragma once
// Reads what /proc tells about a process and its descendants: CPU time, proportional
// memory, names. Linux only. Deciding what to sample when, and what the figures
// mean, is the caller's.

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

struct ProcessSample {
    pid_t pid = 0;
    pid_t parent = 0;
    // Clock ticks after boot; with the pid it names one process even if the pid is reused.
    unsigned long long start_time = 0;
    std::string name;
    // utime + stime of the process itself (all its threads), in clock ticks.
    unsigned long long own_ticks = 0;
    // cutime + cstime: the children it has waited for, in clock ticks.
    unsigned long long reaped_ticks = 0;
};

std::optional<ProcessSample> sample_process(pid_t pid);

// root first, then every live descendant found through the parent pids of /proc.
std::vector<ProcessSample> sample_process_tree(pid_t root);

// The CPU time of the tree as one counter: every process's own time plus what it
// reaped, so a child that ends and is waited for by a tree member keeps counting.
unsigned long long tree_ticks(const std::vector<ProcessSample>& tree);

// A field of /proc/<pid>/smaps_rollup ("Pss", "Pss_Anon", ...) in KiB; nothing when
// it cannot be read.
std::optional<long long> rollup_kib(pid_t pid, const std::string& field);
// Pss of /proc/<pid>/smaps_rollup in KiB; nothing when it cannot be read.
std::optional<long long> pss_kib(pid_t pid);
// Pss_Anon of the same: the part of the PSS that no other program's use of the same
// libraries changes, so the figure to compare over a long run on a shared machine.
std::optional<long long> anon_pss_kib(pid_t pid);

// Entries of /proc/<pid>/fd and /proc/<pid>/task: open file descriptors and threads;
// nothing when the process is gone or not ours to read.
std::optional<int> open_fd_count(pid_t pid);
std::optional<int> thread_count(pid_t pid);

// The Xvfb process serving the display named in $DISPLAY, if there is one.
std::optional<pid_t> find_x_server();
