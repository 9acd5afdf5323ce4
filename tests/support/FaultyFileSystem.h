#pragma once

#include "platform/FileSystem.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace velmora::test {

// The operations of a FileSystem, one fault plan each.
enum class FsOp {
    GetAttributes,
    SetAttributes,
    CopyFile,
    MoveFile,
    DeleteFile,
    CreateFolder,
    RemoveFolder,
    ListFolder,
    OpenLog,
    ResolveLocation
};

// The fault seam: a FileSystem that passes every call on to another one (the real one by
// default) unless told to fail or hang it. Calls are counted per operation. Safe to use from
// worker threads; the destructor releases hung calls and waits until none is inside.
class FaultyFileSystem : public platform::FileSystem {
public:
    explicit FaultyFileSystem(platform::FileSystem& inner = platform::realFileSystem());
    ~FaultyFileSystem() override;

    // The nth call of `op` from now on (1 = the next one) and the `times - 1` calls after it fail
    // with `errorNumber` without reaching the inner file system; times < 0 means every one.
    void failOn(FsOp op, int errorNumber, int nth = 1, int times = 1);
    void failAlways(FsOp op, int errorNumber) { failOn(op, errorNumber, 1, -1); }

    // Every call of `op` from now on blocks until release(op) (or release()), then goes on to the
    // inner file system: a hung share that answers at last.
    void hang(FsOp op);
    // Every call of `op` waits `delay` (or until released) before it goes on.
    void hangFor(FsOp op, std::chrono::milliseconds delay);
    // Lets the hung calls of `op` go on and stops hanging new ones.
    void release(FsOp op);
    void release();
    // Waits until at least one call of `op` is hung; false if none is within `timeout`.
    bool waitUntilHung(FsOp op, std::chrono::milliseconds timeout = std::chrono::seconds(10));

    // Calls of `op` so far (failed, hung and passed on alike).
    int calls(FsOp op) const;
    // Forgets every plan and count (hung calls are released).
    void reset();
    // From now on a run log opens as usual but every write to it fails with ENOSPC, as on a full
    // disk. False when this machine has no full device to stand in for the disk.
    bool fillDiskUnderLog();
    // From now on foldsCase answers `folds` for every folder; nullopt asks the inner file system again.
    void answerFoldsCase(std::optional<bool> folds);

    void setLocationRoots(const std::vector<std::string>& roots) override { inner_.setLocationRoots(roots); }
    int getAttributes(const std::string& path, platform::FileAttributes& out) override;
    int setAttributes(const std::string& path, std::uint32_t mode) override;
    int copyFile(const std::string& source, const std::string& target, bool failIfExists,
                 platform::CommandGate* gate = nullptr, bool allowReadOnly = false,
                 const platform::SeenTarget* seen = nullptr) override;
    int moveFile(const std::string& source, const std::string& target) override;
    int deleteFile(const std::string& path, bool allowReadOnly = false,
                   const platform::SeenTarget* seen = nullptr) override;
    int createFolder(const std::string& path, std::uint32_t mode = 0777) override;
    int removeOwnTemporary(const std::string& path) override;
    int removeFolder(const std::string& path, bool allowReadOnly = false) override;
    int listFolder(const std::string& path,
                   const std::function<bool(const platform::DirEntry&)>& onEntry) override;
    bool foldsCase(const std::string& folder) override;
    int openLog(const std::string& path, bool append, platform::FileHandle& out,
                platform::FileIdentity& identity) override;
    int resolveLocation(const std::string& path, std::string& real,
                        platform::FileIdentity& identity) override;

private:
    struct Plan {
        int calls = 0;
        int errorNumber = 0;
        int failFrom = 0;  // call number of the first failure; 0 = none planned
        int failCount = 0; // < 0: for ever
        bool hangs = false;
        std::chrono::milliseconds delay{0}; // 0 with hangs: until released
        long releaseGeneration = 0;
        int hung = 0;
    };

    // Counts the call, hangs if told to, and answers the planned errno or 0 to pass it on.
    int enter(FsOp op);
    void leave();
    template <typename Call>
    int run(FsOp op, Call&& call);

    platform::FileSystem& inner_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::array<Plan, 10> plans_{};
    std::optional<bool> foldsCase_;
    bool logDiskFull_ = false;
    int inside_ = 0;
    bool closing_ = false;
};

} // namespace velmora::test
