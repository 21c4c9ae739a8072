#include "browser_pane/recovery/recovery_schedule.h"

#include <algorithm>

BackoffSequence::BackoffSequence(std::vector<RecoveryTimes::Delay> delays) : delays_(std::move(delays)) {}

RecoveryTimes::Delay BackoffSequence::next() {
    if (delays_.empty())
        return RecoveryTimes::Delay::zero();
    const auto delay = delays_[std::min(step_, delays_.size() - 1)];
    // Counting stops at the last delay, so that days of failures cannot overflow it.
    step_ = std::min(step_ + 1, delays_.size());
    return delay;
}
