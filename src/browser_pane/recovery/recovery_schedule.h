#pragma once
// How long a pane waits before it tries its page again. Two sequences: after a load
// that failed (the server did not answer) and after the page's process ended (crash,
// hang, memory). Each steps through its delays and then repeats the last one; the
// pane says when a sequence ends. Timers and the page itself are the pane's.

#include <chrono>
#include <cstddef>
#include <vector>

struct RecoveryTimes {
    using Delay = std::chrono::milliseconds;
    // After a failed load or reload.
    std::vector<Delay> retry_delays{std::chrono::seconds(15), std::chrono::seconds(30), std::chrono::seconds(60),
                                    std::chrono::seconds(120)};
    // After the page's process ended.
    std::vector<Delay> restart_delays{std::chrono::seconds(1), std::chrono::seconds(5), std::chrono::seconds(30),
                                      std::chrono::seconds(120)};
    // A page process that answers nothing for this long is ended.
    Delay unresponsive_limit = std::chrono::seconds(30);
    // A load that has not committed this long after it started is stopped, as failed.
    Delay load_limit = std::chrono::seconds(30);
    // A page that stays up this long after a restart ends the restart sequence.
    Delay stays_up = std::chrono::seconds(60);
};

class BackoffSequence {
public:
    // An empty list waits no time at all.
    explicit BackoffSequence(std::vector<RecoveryTimes::Delay> delays);

    // The wait before the next attempt; after the last delay, that one again.
    RecoveryTimes::Delay next();
    // The next attempt starts the list again.
    void reset() { step_ = 0; }
    // True once next() was called since the last reset.
    bool running() const { return step_ > 0; }

private:
    std::vector<RecoveryTimes::Delay> delays_;
    std::size_t step_ = 0;
};
