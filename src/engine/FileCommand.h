#pragma once

#include "engine/LastReason.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace velmora {

class FrontEndPort;
namespace platform {
class FileSystem;
}

// One copy, move or delete, shared by the waiting caller and its worker.
struct FileCommand {
    enum class Kind { Copy, Move, Delete };
    Kind kind = Kind::Copy;
    std::string source;
    std::string target; // empty for delete
    bool failIfExists = false;
    bool overwriteReadOnly = false;
    bool copyAttributes = false;
    std::atomic<bool> abandoned{false}; // set by the waiting side on timeout or stop

    // The worker reports only here, so an abandoned worker that ends late touches nothing of
    // later commands. It writes the result, then sets `finished` to 1 (and wakes the waiting side
    // when that may sleep); the waiting side reads the result once it has seen the 1.
    std::atomic<std::uint64_t> startedMillis{0}; // 0 until the worker runs
    std::atomic<std::uint32_t> finished{0};
    std::atomic<bool> waiting{false}; // the waiting side may be asleep on `finished`
    bool result = false;
    int errorNumber = 0;
};

// Carries out one command on the calling thread: the work a worker does. Returns 0 or errno.
int carryOut(platform::FileSystem& fileSystem, FileCommand& command);

class CommandWorker;

// Runs file commands on worker threads under the command timeout while the caller's thread
// keeps pumping the front end; Stop or the timeout abandon the worker, which then removes
// its temporary file and leaves later commands alone. Folder creation and removal run directly.
// The file system must outlive every worker, including abandoned ones still inside a call.
class FileCommands {
public:
    FileCommands(platform::FileSystem& fileSystem, FrontEndPort& frontEnd,
                 const std::atomic<bool>& stopRequest, LastReason& reason);
    ~FileCommands();
    FileCommands(const FileCommands&) = delete;
    FileCommands& operator=(const FileCommands&) = delete;

    void setTimeout(std::uint32_t seconds) { timeoutSeconds_ = seconds; } // 0 = no limit
    void setCopyAttributes(bool on) { copyAttributes_ = on; }
    // Called on the caller's thread each time a command ends (the progress update).
    void setListener(std::function<void()> listener) { listener_ = std::move(listener); }

    bool copyFile(const std::string& source, const std::string& target, bool failIfExists,
                  bool overwriteReadOnly);
    bool moveFile(const std::string& source, const std::string& target, bool overwriteReadOnly);
    bool deleteFile(const std::string& path, bool overwriteReadOnly);
    // An existing folder is a success and keeps its attributes; attributes < 0 leaves the
    // new folder's mode to the umask. Sets no reason.
    bool createFolder(const std::string& path, std::int64_t attributes = -1);
    bool removeFolder(const std::string& path, bool overwriteReadOnly);

    // Commands still inside the file system, abandoned ones included (a hung share can keep one
    // there for good). Whoever owns a file system with a shorter life waits for this to reach 0.
    int runningWorkers() const { return *runningWorkers_; }

    platform::FileSystem& fileSystem() { return fs_; }
    LastReason& reason() { return reason_; }

private:
    static std::shared_ptr<FileCommand> command(FileCommand::Kind kind, const std::string& source,
                                                const std::string& target, bool failIfExists,
                                                bool overwriteReadOnly);
    bool run(const std::shared_ptr<FileCommand>& command);
    void abandon(FileCommand& command);

    platform::FileSystem& fs_;
    FrontEndPort& frontEnd_;
    const std::atomic<bool>& stopRequest_;
    LastReason& reason_;
    std::uint32_t timeoutSeconds_ = 300;
    bool copyAttributes_ = false;
    std::function<void()> listener_;
    // Shared with the workers, which may outlive this object.
    std::shared_ptr<std::atomic<int>> runningWorkers_ = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<CommandWorker> worker_; // started on the first command
};

} // namespace velmora
