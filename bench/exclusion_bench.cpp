// Throughput of the exclusion test as a run uses it: every listed file of both trees is tested.
// Set: 1,000 explicit entries and 20 wildcards; candidates: 1,000,000 listed items under
// realistic Linux paths, about a fifth of them excluded. The peer is the straightforward way of
// writing the same test (join the path, upper-case copies, then search), measured in the same run.

#include "items/ExclusionSet.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cctype>
#include <random>
#include <string>
#include <vector>

namespace {

using velmora::ExclusionSet;
using velmora::FileItem;

constexpr int kCandidates = 1'000'000;
constexpr int kExplicit = 1'000;

const char* const kUsers[] = {"ann", "bob", "chris", "dana"};
const char* const kTops[] = {"projects", "Documents", "Pictures", "Music", ".config", "src"};
const char* const kSubs[] = {"src",     "include", "build", "docs", "2008",
                             "holiday", "cache",   "old",   "lib",  "test"};
const char* const kStems[] = {"report", "main",     "IMG_",  "track", "notes",
                              "index",  "Makefile", "draft", "data"};
const char* const kExtensions[] = {".txt", ".cpp", ".h", ".jpg", ".mp3", ".o",
                                   ".tmp", ".log", "",   ".bak", ".pdf"};

const char* const kWildcards[] = {"*.tmp",
                                  "*.o",
                                  "*.bak",
                                  "*~",
                                  "Thumbs.db",
                                  ".DS_Store",
                                  "*.swp",
                                  "core",
                                  "*.pyc",
                                  "~$*",
                                  "/home/ann/projects/*.log",
                                  "/home/bob/Music/*.m3u",
                                  "/home/chris/src/build/*",
                                  "*.part",
                                  "*.crdownload",
                                  "desktop.ini",
                                  "/home/dana/.config/*.lock",
                                  "*.class",
                                  "#*#",
                                  "*.obj"};

template <typename T, std::size_t N>
const T& pick(const T (&table)[N], std::mt19937& random) {
    return table[random() % N];
}

FileItem candidate(std::mt19937& random) {
    FileItem item;
    item.folder = std::string("/home/") + pick(kUsers, random) + '/' + pick(kTops, random) + '/' +
                  pick(kSubs, random) + '/';
    if (random() % 2)
        item.folder += std::string(pick(kSubs, random)) + '/';
    item.name =
        std::string(pick(kStems, random)) + std::to_string(random() % 200) + pick(kExtensions, random);
    item.kind = velmora::kFile;
    item.forwardSlash = true;
    return item;
}

struct Workload {
    ExclusionSet set;
    std::vector<FileItem> candidates;

    Workload() {
        std::mt19937 random(20081207);
        candidates.reserve(kCandidates);
        for (int i = 0; i < kCandidates; ++i)
            candidates.push_back(candidate(random));
        // Explicit entries: some are listed files (hits, in another letter case half the time),
        // the rest name paths that are never listed.
        for (int i = 0; set.explicitEntries().size() < kExplicit; ++i) {
            std::string path = i % 3 == 0 ? candidates[random() % kCandidates].fullPath()
                                          : "/home/" + std::string(pick(kUsers, random)) + "/gone/file" +
                                                std::to_string(i) + ".dat";
            if (i % 2)
                std::transform(path.begin(), path.end(), path.begin(),
                               [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
            set.addExplicit(path);
        }
        for (const char* wildcard : kWildcards)
            set.addWildcard(wildcard);
        set.finish();
    }
};

const Workload& workload() {
    static const Workload w;
    return w;
}

void BM_IsExcluded(benchmark::State& state) {
    const Workload& w = workload();
    std::size_t excluded = 0;
    for (auto _ : state) {
        for (const FileItem& item : w.candidates)
            excluded += w.set.isExcluded(item);
    }
    benchmark::DoNotOptimize(excluded);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kCandidates);
    state.counters["excluded_share"] =
        static_cast<double>(excluded) / (static_cast<double>(state.iterations()) * kCandidates);
}
BENCHMARK(BM_IsExcluded)->Unit(benchmark::kMillisecond);

// The peer: the same decisions, written with joined and upper-cased copies per test.
std::string upperCopy(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool copyingMatch(const std::string& pattern, const std::string& name) {
    return velmora::matchesPattern(upperCopy(pattern), upperCopy(name));
}

void BM_IsExcludedWithCopies(benchmark::State& state) {
    const Workload& w = workload();
    std::vector<std::string> explicitPaths;
    for (const auto& entry : w.set.explicitEntries())
        explicitPaths.push_back(upperCopy(entry->fullPath()));
    std::sort(explicitPaths.begin(), explicitPaths.end());
    std::size_t excluded = 0;
    for (auto _ : state) {
        for (const FileItem& item : w.candidates) {
            const std::string full = upperCopy(item.fullPath());
            bool hit = std::binary_search(explicitPaths.begin(), explicitPaths.end(), full);
            for (const auto& wildcard : w.set.wildcards()) {
                if (hit)
                    break;
                if (wildcard->name.empty() ||
                    item.folder.compare(0, wildcard->folder.size(), wildcard->folder) != 0)
                    continue;
                hit = copyingMatch(wildcard->name, item.name);
            }
            excluded += hit;
        }
    }
    benchmark::DoNotOptimize(excluded);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kCandidates);
    state.counters["excluded_share"] =
        static_cast<double>(excluded) / (static_cast<double>(state.iterations()) * kCandidates);
}
BENCHMARK(BM_IsExcludedWithCopies)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
