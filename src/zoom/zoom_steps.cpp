#include "zoom/zoom_steps.h"

#include <algorithm>
#include <cmath>

int nearest_zoom_step(double factor) {
    if (std::isnan(factor))
        return kNormalZoom;
    const double percent = std::clamp(factor * 100, double(kZoomSteps.front()), double(kZoomSteps.back()));
    int best = kZoomSteps.front();
    for (const int step : kZoomSteps)
        if (std::abs(step - percent) < std::abs(best - percent))
            best = step;
    return best;
}

int zoom_step_in(int percent) {
    const auto next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), percent);
    return next == kZoomSteps.end() ? kZoomSteps.back() : *next;
}

int zoom_step_out(int percent) {
    const auto at = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), percent);
    return at == kZoomSteps.begin() ? kZoomSteps.front() : *(at - 1);
}
