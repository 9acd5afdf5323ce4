// A whole run from SOURCE into TARGET on a simulated network share: every create, write,
// rename and unlink of the target waits a fixed round trip first (LatencyFileSystem), so the
// benefit of several file commands in flight can be timed without a real share.
//
//   slow_share_sync [-j N] [--latency-ms MS] SOURCE/ TARGET/
#include "QuietFrontEnd.h"
#include "engine/ActionList.h"
#include "engine/FileCommand.h"
#include "engine/LastReason.h"
#include "engine/LocalLocationAccess.h"
#include "engine/RunContext.h"
#include "engine/RunFlags.h"
#include "engine/SyncOptions.h"
#include "engine/SyncResults.h"
#include "engine/Synchroniser.h"
#include "items/ExclusionSet.h"
#include "platform/LatencyFileSystem.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace velmora;

} // namespace

int main(int argc, char** argv) {
    unsigned jobs = kDefaultParallelCommands;
    long latencyMillis = 2;
    std::string paths[2];
    int pathCount = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-j" && i + 1 < argc)
            jobs = static_cast<unsigned>(std::atoi(argv[++i]));
        else if (arg == "--latency-ms" && i + 1 < argc)
            latencyMillis = std::atol(argv[++i]);
        else if (pathCount < 2)
            paths[pathCount++] = arg;
    }
    if (pathCount != 2 || jobs < 1) {
        std::fprintf(stderr, "usage: slow_share_sync [-j N] [--latency-ms MS] SOURCE/ TARGET/\n");
        return 64;
    }
    platform::LatencyFileSystem share(platform::realFileSystem(), std::chrono::milliseconds(latencyMillis));
    QuietFrontEnd frontEnd;
    LastReason reason;
    RunFlags flags;
    SyncOptions options;
    options.checkActions = false;
    options.parallelCommands = jobs;
    ExclusionSet exclusions;
    SyncResults results;
    ActionList actions;
    FileCommands commands(share, frontEnd, flags.stopRequest, reason);
    LocalLocationAccess source(commands, flags.stopRequest, results.workDone);
    LocalLocationAccess target(commands, flags.stopRequest, results.workDone);
    RunContext context{source, target,  commands,   share,   frontEnd,
                       flags,  options, exclusions, results, actions};
    Synchroniser synchroniser(context);
    flags.runningState = RunningState::OneToTwo;
    const RunOutcome outcome = synchroniser.synchronise(paths[0], paths[1]);
    std::printf("added %d files, %d folders; %zu problem lines\n", results.counts.addedFiles,
                results.counts.addedFolders, results.problems.size());
    return outcome.failed || !results.problems.empty() ? 1 : 0;
}
