#pragma once

#include "engine/ProgressMeter.h"
#include "engine/RunContext.h"

#include <string>

namespace velmora {

// Walks a source and a target folder tree side by side and plans, in the run's action list,
// which target files to overwrite, which source files and folders to add and which target files
// and folders to delete. Changes nothing on disk.
class FolderAnalysis {
public:
    FolderAnalysis(RunContext& run, ProgressMeter& progress) : run_(run), progress_(progress) {}

    // Compares one folder pair (both paths end in their separator) and descends into the
    // sub-folders present on both sides. False when either side is unavailable or its folder
    // cannot be accessed or read: then nothing is planned for this pair, the target's content
    // included (a folder that cannot be read is never taken for an empty one), and two problem
    // lines say why. Below the top level such a failure leaves the rest of the tree planned.
    bool analyseDirectory(const std::string& sourceFolder, const std::string& targetFolder);
    // The target folder does not exist yet: it is analysed as an empty one, and nothing is read.
    void assumeTargetEmpty(bool on) { targetMissing_ = on; }
    // Whether the source folder of the last top-level comparison had no entries at all (an
    // unmounted disk looks like that). Known only once that comparison has read it.
    bool sourceWasEmpty() const { return sourceEmpty_; }

    // Whether one target folder ignores letter case in names; asked once, and only when needed.
    class TargetCase {
    public:
        TargetCase(FileCommands& commands, platform::FileSystem& fileSystem, const std::string& folder)
            : commands_(commands), fileSystem_(fileSystem), folder_(folder) {}
        bool folds(const std::string& sourceName);

    private:
        FileCommands& commands_;
        platform::FileSystem& fileSystem_;
        const std::string& folder_;
        int answer_ = -1;
    };

private:
    bool canAccess(const std::string& folder, const char* problem);
    bool canRead(LocationAccess& access, const std::string& folder, const char* problem,
                 std::vector<FileItemPtr>& files, std::vector<FileItemPtr>& folders);
    void planFiles(const std::string& targetFolder, const std::vector<FileItemPtr>& sourceFiles,
                   const std::vector<FileItemPtr>& targetFiles, std::vector<bool>& matched,
                   TargetCase& targetCase);
    void planFolders(const std::vector<FileItemPtr>& sourceFolders, const std::string& targetFolder,
                     const std::vector<FileItemPtr>& targetFolders, std::vector<bool>& matched,
                     TargetCase& targetCase);
    void planDeletes(const std::vector<FileItemPtr>& targets, const std::vector<bool>& matched, bool folders);

    RunContext& run_;
    ProgressMeter& progress_;
    bool targetMissing_ = false;
    int depth_ = 0; // of the folder pair being compared, 0 at the locations themselves
    bool sourceEmpty_ = false;
};

} // namespace velmora
