#pragma once

namespace velmora::cli {

// What the command line answers to its caller (scripts and cron read these).
enum ExitStatus : int {
    kExitDone = 0,        // done without problems
    kExitProblems = 1,    // done, but some actions failed (or a batch skipped a profile)
    kExitFailed = 2,      // the analysis failed or a safeguard refused the plan: nothing was done
    kExitInterrupted = 3, // stopped or cancelled
    kExitUsage = 64,      // bad command line
    kExitNoInput = 66,    // a file that cannot be opened (the log too), or is not a valid profile or batch
};

// The worse of two run statuses, for a batch: interrupted, then failed, then a log that could
// not be opened, then problems, then done.
constexpr int worseStatus(int a, int b) {
    const auto rank = [](int status) {
        switch (status) {
        case kExitInterrupted:
            return 4;
        case kExitFailed:
            return 3;
        case kExitNoInput:
            return 2;
        case kExitProblems:
            return 1;
        default:
            return 0;
        }
    };
    return rank(b) > rank(a) ? b : a;
}

} // namespace velmora::cli
