// Lists one folder into the browse list (model filled, first screen drawn) and times it against
// `ls -l --color=never` of the same folder, alternating the two; prints medians, the ratio and the
// peak memory. With a second folder (one of many subfolders) it also times expanding that folder
// in the folder tree. Run offscreen: QT_QPA_PLATFORM=offscreen file_list_bench FOLDER [RUNS [TREE]]
#include "browse/BrowseEnvironment.h"
#include "browse/BrowseList.h"
#include "browse/FolderTree.h"
#include "engine/FrontEndPort.h"
#include "platform/FileSystem.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPixmap>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

class QuietFrontEnd : public velmora::FrontEndPort {
public:
    void pump() override { QCoreApplication::processEvents(); }
    void message(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    bool question(const std::string&) override { return false; }
    velmora::DeleteAnswer confirmDelete(const std::string&, const std::array<std::string, 4>&) override {
        return velmora::DeleteAnswer::Cancel;
    }
    bool checkList(velmora::CheckListSets&) override { return false; }
    void report(const velmora::SyncResults&) override {}
    void progress(const velmora::ProgressView&) override {}
    void runningChanged(velmora::RunningState) override {}
};

double seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double timeLs(const std::string& folder) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (!std::freopen("/dev/null", "w", stdout))
            _exit(127);
        execlp("ls", "ls", "-l", "--color=never", folder.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return seconds(start);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: file_list_bench FOLDER [RUNS]\n");
        return 64;
    }
    const std::string folder = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    QuietFrontEnd frontEnd;
    velmora::browse::BrowseEnvironment environment(frontEnd, velmora::platform::realFileSystem(), nullptr);
    const long baseline = peakKilobytes();
    std::vector<double> ours, ls;
    std::size_t rows = 0;
    for (int run = 0; run < runs; ++run) {
        ls.push_back(timeLs(folder));
        std::vector<velmora::FileItemPtr> selection;
        const auto start = std::chrono::steady_clock::now();
        velmora::browse::BrowseList list(environment, selection, false);
        list.resize(800, 600);
        list.setViewStyle(velmora::browse::FileListView::Details);
        list.show();
        if (!list.showFolder(folder))
            return 1;
        const QPixmap firstScreen = list.grab();
        ours.push_back(seconds(start));
        rows = list.items().size();
        (void)firstScreen;
    }
    const double oursMedian = median(ours), lsMedian = median(ls);
    std::printf("rows %zu, runs %d\n", rows, runs);
    std::printf("browse list (filled, first screen drawn): median %.3f s\n", oursMedian);
    std::printf("ls -l --color=never:                      median %.3f s\n", lsMedian);
    std::printf("ratio %.2f\n", oursMedian / lsMedian);
    std::printf("peak memory %ld KiB (%ld KiB before listing)\n", peakKilobytes(), baseline);
    if (argc > 3) {
        std::vector<double> expansions;
        int children = 0;
        for (int run = 0; run < runs; ++run) {
            const auto start = std::chrono::steady_clock::now();
            velmora::browse::FolderTree tree(environment);
            tree.resize(400, 600);
            tree.show();
            tree.applyOptions(52);
            tree.reload();
            QTreeWidgetItem* node = tree.selectPath(argv[3], true);
            const QPixmap firstScreen = tree.grab();
            expansions.push_back(seconds(start));
            children = node ? node->childCount() : -1;
            (void)firstScreen;
        }
        std::printf("folder tree: %d subfolders expanded and drawn, median %.3f s\n", children,
                    median(expansions));
    }
    return 0;
}
