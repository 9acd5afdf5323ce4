#pragma once

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
#include "support/FakeFrontEnd.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

#include <ctime>
#include <string>
#include <vector>

namespace velmora::test {

// A whole run on two real temporary trees, "src/" and "dst/", through the scripted front end
// and the fault seam. Options start as the defaults without the check-list, one command at a time.
struct SyncRig {
    // Mid-November, far from daylight-saving changes.
    static constexpr std::time_t kTime = 1700000000;

    TempDir dir;
    std::string source = dir.at("src/");
    std::string target = dir.at("dst/");
    FakeFrontEnd frontEnd;
    FaultyFileSystem fs;
    LastReason reason;
    RunFlags flags;
    SyncOptions options;
    ExclusionSet exclusions;
    SyncResults results;
    ActionList actions;
    FileCommands commands{fs, frontEnd, flags.stopRequest, reason};
    LocalLocationAccess sourceAccess{commands, flags.stopRequest, results.workDone};
    LocalLocationAccess targetAccess{commands, flags.stopRequest, results.workDone};
    RunContext context{sourceAccess, targetAccess, commands,   fs,      frontEnd,
                       flags,        options,      exclusions, results, actions};
    Synchroniser synchroniser{context};

    // `inner` takes the calls the fault seam passes on (the real file system unless given).
    explicit SyncRig(platform::FileSystem& inner = platform::realFileSystem()) : fs(inner) {
        dir.makeFolder("src");
        dir.makeFolder("dst");
        options.checkActions = false;
        // One command at a time, so that a fault planned for the nth call meets the nth command.
        options.parallelCommands = 1;
    }

    RunOutcome run() {
        flags.runningState = RunningState::OneToTwo;
        return synchroniser.synchronise(source, target);
    }

    // Runs the analysis only: the check-list takes a copy of what was planned and cancels, so
    // nothing is executed and the action list stays as planned.
    RunOutcome analyse() {
        options.checkActions = true;
        frontEnd.checkListAnswer = [](CheckListSets&) { return false; };
        return run();
    }

    // A file of a tree ("src/a.txt") with the common time shifted by `seconds`.
    void file(const std::string& relative, const std::string& bytes, long seconds = 0) {
        dir.writeFile(relative, bytes, kTime + seconds);
    }

    void exclude(const std::string& relative) {
        exclusions.addExplicit(dir.at(relative));
        exclusions.finish();
    }

    // The paths under one side ("src" or "dst"), relative to it, as TempDir::listTree gives them.
    std::vector<std::string> tree(const std::string& side) const {
        std::vector<std::string> result;
        const std::string prefix = side + "/";
        for (const std::string& path : dir.listTree())
            if (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0)
                result.push_back(path.substr(prefix.size()));
        return result;
    }

    std::string read(const std::string& relative) const { return TempDir::readFile(dir.at(relative)); }

    // Full paths of a collection, relative to the temporary folder.
    std::vector<std::string> relative(const ItemSet& items) const {
        std::vector<std::string> result;
        for (const FileItemPtr& item : items)
            result.push_back(item->fullPath().substr(dir.path().size()));
        return result;
    }
    std::vector<std::string> targets(const ItemMap& items) const {
        std::vector<std::string> result;
        for (const auto& [sourceItem, targetItem] : items)
            result.push_back(targetItem->fullPath().substr(dir.path().size()));
        return result;
    }
};

} // namespace velmora::test
