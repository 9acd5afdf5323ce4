#include "engine/ProgressMeter.h"

#include <algorithm>
#include <cstdio>

namespace velmora {

ProgressMeter::ProgressMeter(FrontEndPort& frontEnd, const SyncResults& results, Clock clock)
    : frontEnd_(frontEnd), results_(results), clock_(std::move(clock)) {}

void ProgressMeter::reset() {
    view_ = {};
    lastPerMille_ = -1;
}

void ProgressMeter::setActivity(std::string text) {
    view_.activity = std::move(text);
    refresh(true);
}

void ProgressMeter::setPhase(std::string phase) {
    view_.phase = std::move(phase);
    show();
}

void ProgressMeter::update() {
    refresh(false);
}

void ProgressMeter::refresh(bool changed) {
    const std::uint64_t done = results_.workDone;
    if (done < 2) {
        if (view_.barPosition != 0 || !view_.percentText.empty() || !view_.timeText.empty()) {
            view_.barPosition = 0;
            view_.percentText.clear();
            view_.timeText.clear();
            changed = true;
        }
        lastPerMille_ = -1;
        if (changed)
            show();
        frontEnd_.pump();
        return;
    }

    // The estimate leaves out what exclusions skip inside folder trees and the folder trees
    // may change under a run, so work done can pass the total: the display stops at 100 %.
    const std::uint64_t total = results_.workTotal;
    const int perMille =
        total == 0 ? 1000
                   : static_cast<int>(
                         std::min(static_cast<double>(done) * 1000.0 / static_cast<double>(total), 1000.0));
    if (perMille != lastPerMille_) {
        lastPerMille_ = perMille;
        view_.barPosition = perMille / 10;
        view_.percentText = std::to_string(perMille / 10);
        if (perMille == 0) {
            view_.timeText.clear(); // nothing done yet to extrapolate from
        } else {
            const std::uint64_t now = clock_();
            const double elapsed =
                now > results_.startMillis ? static_cast<double>(now - results_.startMillis) : 0.0;
            const auto remaining = std::max<std::uint64_t>(
                static_cast<std::uint64_t>(elapsed * 0.001 / perMille * (1000 - perMille) + 0.5), 1);
            char text[32];
            std::snprintf(text, sizeof text, "%02d:%02d:%02d", int(remaining / 3600),
                          int(remaining / 60 % 60), int(remaining % 60));
            view_.timeText = text;
        }
        changed = true;
    }
    if (changed)
        show();
    frontEnd_.pump();
}

void ProgressMeter::show() {
    frontEnd_.progress(view_);
}

} // namespace velmora
