// Cost of analysing two unchanged trees of 20,000 files (400 folders of 50 files, 1-8 KiB), as a
// no-change re-run does: every file is listed on both sides, matched by name, compared and
// announced as "Checking file: ". Two front ends: one whose pump counts calls and keeps every
// progress view (as a scripted test front end does), and one whose pump and progress do nothing,
// to show what the front end's share is. The peer, measured in the same run, is the listing
// floor: both trees listed through the same file-system layer with nothing else done.

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
#include "platform/FileSystem.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace velmora;

constexpr int kFolders = 400;
constexpr int kFilesPerFolder = 50;

class CountingFrontEnd : public FrontEndPort {
public:
    long pumps = 0;
    std::vector<ProgressView> views;
    void pump() override { ++pumps; }
    void message(const std::string&) override {}
    bool question(const std::string&) override { return true; }
    DeleteAnswer confirmDelete(const std::string&, const std::array<std::string, 4>&) override {
        return DeleteAnswer::Yes;
    }
    // Cancelled, so that a run stops after its analysis.
    bool checkList(CheckListSets&) override { return false; }
    void report(const SyncResults&) override {}
    void progress(const ProgressView& view) override { views.push_back(view); }
    void runningChanged(RunningState) override {}
};

class QuietFrontEnd : public FrontEndPort {
public:
    void pump() override {}
    void message(const std::string&) override {}
    bool question(const std::string&) override { return true; }
    DeleteAnswer confirmDelete(const std::string&, const std::array<std::string, 4>&) override {
        return DeleteAnswer::Yes;
    }
    bool checkList(CheckListSets&) override { return false; }
    void report(const SyncResults&) override {}
    void progress(const ProgressView&) override {}
    void runningChanged(RunningState) override {}
};

// Two equal trees, made once per process and removed at its end.
class Trees {
public:
    Trees() {
        root_ = (std::filesystem::temp_directory_path() /
                 ("velmora-analysis-bench-" + std::to_string(::getpid())))
                    .string() +
                "/";
        platform::FileSystem& fs = platform::realFileSystem();
        fs.createFolder(root_);
        fs.createFolder(source());
        fs.createFolder(target());
        for (int folder = 0; folder < kFolders; ++folder) {
            const std::string name = "folder" + std::to_string(folder) + "/";
            fs.createFolder(source() + name);
            fs.createFolder(target() + name);
            for (int file = 0; file < kFilesPerFolder; ++file) {
                const std::string fileName = name + "File_" + std::to_string(file) + ".dat";
                std::ofstream(source() + fileName, std::ios::binary) << std::string(
                    static_cast<std::size_t>(1024 + (folder * kFilesPerFolder + file) % 7168), 'x');
                // The copy keeps the modification time, so nothing differs.
                if (fs.copyFile(source() + fileName, target() + fileName, false) != 0)
                    throw std::runtime_error("cannot set up " + target() + fileName);
            }
        }
    }
    ~Trees() { std::filesystem::remove_all(root_); }
    std::string source() const { return root_ + "src/"; }
    std::string target() const { return root_ + "dst/"; }

private:
    std::string root_;
};

const Trees& trees() {
    static Trees instance;
    return instance;
}

// One analysis-only run; returns the pumps it made when the front end counts them.
template <typename FrontEnd>
void analyse(benchmark::State& state) {
    const Trees& t = trees();
    long pumps = 0;
    long views = 0;
    for (auto _ : state) {
        FrontEnd frontEnd;
        LastReason reason;
        RunFlags flags;
        SyncOptions options; // check-list on, cancelled by the front end
        ExclusionSet exclusions;
        SyncResults results;
        ActionList actions;
        FileCommands commands(platform::realFileSystem(), frontEnd, flags.stopRequest, reason);
        LocalLocationAccess source(commands, flags.stopRequest, results.workDone);
        LocalLocationAccess target(commands, flags.stopRequest, results.workDone);
        RunContext context{source,   target, commands, platform::realFileSystem(),
                           frontEnd, flags,  options,  exclusions,
                           results,  actions};
        Synchroniser synchroniser(context);
        const RunOutcome outcome = synchroniser.synchronise(t.source(), t.target());
        if (!outcome.cancelled || !actions.empty())
            state.SkipWithError("the trees were not equal");
        if constexpr (std::is_same_v<FrontEnd, CountingFrontEnd>) {
            pumps = frontEnd.pumps;
            views = static_cast<long>(frontEnd.views.size());
        }
    }
    state.counters["files"] = kFolders * kFilesPerFolder;
    if (pumps != 0) {
        state.counters["pumps"] = static_cast<double>(pumps);
        state.counters["progress_views"] = static_cast<double>(views);
    }
}

void BM_AnalysisCountingPump(benchmark::State& state) {
    analyse<CountingFrontEnd>(state);
}
void BM_AnalysisNoOpPump(benchmark::State& state) {
    analyse<QuietFrontEnd>(state);
}

// The peer: both trees listed through the same layer, nothing else.
void BM_ListingFloor(benchmark::State& state) {
    const Trees& t = trees();
    platform::FileSystem& fs = platform::realFileSystem();
    for (auto _ : state) {
        long entries = 0;
        for (const std::string& side : {t.source(), t.target()}) {
            std::vector<std::string> folders;
            fs.listFolder(side, [&](const platform::DirEntry& entry) {
                folders.push_back(side + entry.name + "/");
                return true;
            });
            for (const std::string& folder : folders)
                fs.listFolder(folder, [&](const platform::DirEntry&) {
                    ++entries;
                    return true;
                });
        }
        benchmark::DoNotOptimize(entries);
    }
}

BENCHMARK(BM_ListingFloor)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_AnalysisNoOpPump)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_AnalysisCountingPump)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

BENCHMARK_MAIN();
