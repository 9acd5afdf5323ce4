#pragma once

#include "engine/FileCommand.h"
#include "engine/LocationAccess.h"

#include <atomic>
#include <cstdint>

namespace velmora {

// A location on a mounted file system (local disk or network share).
class LocalLocationAccess : public LocationAccess {
public:
    // workDone is the run's progress counter, to which copies add the bytes they copy.
    LocalLocationAccess(FileCommands& commands, const std::atomic<bool>& stopRequest,
                        std::uint64_t& workDone);

    void setReadOnlyOverwrite(bool on) override { overwriteReadOnly_ = on; }

    void setExclusions(const ExclusionSet* first, const ExclusionSet* second) override;
    void setProtectedFile(const platform::FileIdentity& file) override { protectedFile_ = file; }
    void setLeftoverRemoval(std::function<void(const std::string& path)> removed) override {
        leftoverRemoved_ = std::move(removed);
    }
    void setOtherRoot(const platform::FileIdentity& root, const std::string& path) override;
    std::string overlap() const override { return overlap_; }
    bool listFolder(const std::string& folderPath, std::vector<FileItemPtr>& items) override;
    bool readFolder(const std::string& folderPath, std::vector<FileItemPtr>& files,
                    std::vector<FileItemPtr>& folders) override;
    bool isAvailable() const override { return true; }
    bool isExcludedByFirst(const FileItem& item) const override;
    bool isExcludedBySecond(const FileItem& item) const override;
    bool usesForwardSlashes() const override { return true; }
    bool copyFile(const FileItem& source, const FileItem& target) override;
    bool deleteFile(const FileItem& item) override;
    bool createFolder(const FileItem& item, std::int64_t sourceMode) override;
    PendingCommand startCopy(const FileItem& source, const FileItem& target) override;
    PendingCommand startDelete(const FileItem& item) override;
    bool finish(const PendingCommand& pending) override;
    bool dropped(const PendingCommand& pending) const override { return pending.command->dropped; }

    // The errno of the last failed listing (0 after a success). A failed listing also sets
    // the reason text of the file commands.
    int lastListError() const { return lastListError_; }

private:
    FileCommands& commands_;
    const std::atomic<bool>& stopRequest_;
    std::uint64_t& workDone_;
    const ExclusionSet* first_ = nullptr;
    const ExclusionSet* second_ = nullptr;
    bool overwriteReadOnly_ = false;
    int lastListError_ = 0;
    platform::FileIdentity protectedFile_;
    std::function<void(const std::string& path)> leftoverRemoved_;
    platform::FileIdentity otherRoot_;
    std::string otherRootPath_;
    std::string overlap_;

    void removeLeftovers(const std::string& folderPath, const std::vector<std::string>& names);
};

} // namespace velmora
