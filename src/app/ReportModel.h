#pragma once

#include "app/ActionListsModel.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

struct SyncCounts;
struct SyncResults;

// One count of the report with its label and tooltip, in the order the report shows them.
struct ReportCount {
    const char* label;
    const char* tooltip;
    std::int32_t value;
};
std::array<ReportCount, 5> reportCounts(const SyncCounts& counts);

// The Synchronisation Report without widgets, over the last run's results. The headline is the
// one the run stored when it ended, so "Last Report" repeats the headline of the run it shows.
class ReportModel {
public:
    // `closesAtOnce`: silent mode was on when the run reported; the view closes the report as
    // soon as it is shown.
    explicit ReportModel(const SyncResults& results, bool closesAtOnce = false);

    const std::string& source() const { return source_; }
    const std::string& target() const { return target_; }
    const std::string& headline() const { return headline_; }
    const std::array<ReportCount, 5>& counts() const { return counts_; }
    // "Some problems were encountered" and "!!!!! View Problem Log !!!!!" show only with problems.
    bool showsProblems() const { return !problems_.empty(); }
    const std::vector<std::string>& problemLines() const { return problems_; }
    bool closesAtOnce() const { return closesAtOnce_; }
    // "View Details": the lists of what was done and what failed, read-only.
    ActionListsModel details() const { return details_; }

private:
    std::string source_, target_, headline_;
    std::array<ReportCount, 5> counts_;
    std::vector<std::string> problems_;
    ActionListsModel details_;
    bool closesAtOnce_;
};

} // namespace velmora
