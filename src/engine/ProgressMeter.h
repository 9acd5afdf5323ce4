#pragma once

#include "engine/FrontEndPort.h"
#include "engine/SyncResults.h"

#include <cstdint>
#include <functional>
#include <string>

namespace velmora {

// The progress display of a run: activity text, phase, bar, percentage and time remaining,
// worked out from the work counters of the results. Every update pumps the front end once,
// which is what keeps Stop live during the long loops.
class ProgressMeter {
public:
    using Clock = std::function<std::uint64_t()>; // milliseconds, only differences count

    ProgressMeter(FrontEndPort& frontEnd, const SyncResults& results, Clock clock);

    // Forgets the last figures shown, for a new run.
    void reset();
    void setActivity(std::string text);
    void setPhase(std::string phase);
    // Shows the current figures (when they changed) and pumps once.
    void update();

    const ProgressView& view() const { return view_; }
    std::uint64_t now() const { return clock_(); }

private:
    void refresh(bool changed);
    void show();

    FrontEndPort& frontEnd_;
    const SyncResults& results_;
    Clock clock_;
    ProgressView view_;
    int lastPerMille_ = -1;
};

} // namespace velmora
