#pragma once

#include "engine/LastReason.h"
#include "platform/CommandGate.h"
#include "platform/FileSystem.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class FrontEndPort;

// One copy, move, delete, folder listing or other call, shared by the waiting caller and its worker.
struct FileCommand {
    enum class Kind { Copy, Move, Delete, List, Call };
    Kind kind = Kind::Copy;
    std::string source; // the folder for a listing
    std::string target; // empty for delete and listing
    bool failIfExists = false;
    bool overwriteReadOnly = false;
    // What the run saw of the target when it planned this copy or delete; none: whatever is there.
    std::optional<platform::SeenTarget> seen;
    bool copyAttributes = false;
    // A listing hands each entry to this on the worker; it must write only to what it owns
    // together with this command, since an abandoned listing may go on after the wait.
    std::function<bool(const platform::DirEntry&)> onEntry;
    // A call returns 0 or errno; like onEntry it writes only to what it owns with this command.
    std::function<int()> call;
    platform::CommandGate gate;

    // The worker reports only here, so an abandoned worker that ends late touches nothing of
    // later commands. It writes the result, then sets `finished` to 1 (and wakes the waiting side
    // when that may sleep); the waiting side reads the result once it has seen the 1.
    std::atomic<std::uint32_t> finished{0};
    std::atomic<bool> waiting{false}; // the waiting side may be asleep on `finished`
    bool result = false;
    int errorNumber = 0;

    // The waiting side's own view, never touched by the worker.
    enum class Outcome { Running, Stopped, TimedOut };
    Outcome givenUp = Outcome::Running;
    bool dropped = false; // given up while still queued: no worker ever saw it
};

// Carries out one command on the calling thread: the work a worker does. Returns 0 or errno.
int carryOut(platform::FileSystem& fileSystem, FileCommand& command);

class CommandPool;

// Runs file commands on worker threads under the command timeout while the caller's thread
// keeps pumping the front end; Stop or the timeout abandon the worker, which then removes
// its temporary file and leaves later commands alone.
// The file system must outlive every worker, including abandoned ones still inside a call.
//
// Up to `parallel` commands may be carried out at once: start() queues one for a small pool of
// workers and returns, finish() waits for one of them while it watches all of them (each its own timeout,
// Stop gives up every one). Whoever starts several finishes them in its own order, so results
// come out in that order whatever order the commands end in.
class FileCommands {
public:
    using Pending = std::shared_ptr<FileCommand>;

    FileCommands(platform::FileSystem& fileSystem, FrontEndPort& frontEnd,
                 const std::atomic<bool>& stopRequest, LastReason& reason);
    ~FileCommands();
    FileCommands(const FileCommands&) = delete;
    FileCommands& operator=(const FileCommands&) = delete;

    // 0 = no limit. The limit counts from the command's last progress, so a copy that keeps
    // moving bytes never times out.
    void setTimeout(std::uint32_t seconds) { timeoutSeconds_ = seconds; }
    void setCopyAttributes(bool on) { copyAttributes_ = on; }
    // Commands in flight at most; 1 runs one at a time.
    void setParallel(unsigned commands) { parallel_ = commands < 1 ? 1 : commands; }
    unsigned parallel() const { return parallel_; }
    // How many commands a caller may have started and not finished: with several workers, a few
    // per worker wait in the queue, so that the workers need not wait for the caller to hand them
    // the next (the queued ones are not started: Stop drops them, and no timeout runs for them).
    // One at a time stays one at a time.
    unsigned queueDepth() const { return parallel_ == 1 ? 1 : parallel_ * kQueuedPerWorker; }
    // Called on the caller's thread each time a command ends (the progress update).
    void setListener(std::function<void()> listener) { listener_ = std::move(listener); }

    // With `seen`, the target must still be what the run saw (see platform::SeenTarget).
    bool copyFile(const std::string& source, const std::string& target, bool failIfExists,
                  bool overwriteReadOnly, std::optional<platform::SeenTarget> seen = {});
    bool moveFile(const std::string& source, const std::string& target, bool overwriteReadOnly);
    bool deleteFile(const std::string& path, bool overwriteReadOnly,
                    std::optional<platform::SeenTarget> seen = {});
    // An existing folder is a success and keeps its attributes. A new one gets no permission bit
    // that `sourceMode` (the source folder's mode, < 0 when there is none) lacks, save its owner's,
    // which the copy of its contents needs; the umask applies. Sets no reason on success.
    bool createFolder(const std::string& path, std::int64_t sourceMode = -1);
    bool removeFolder(const std::string& path, bool overwriteReadOnly);
    // Lists a folder on a worker under the same watch as the other commands, handing each entry
    // to `onEntry` there. Returns 0, the listing's errno, ETIMEDOUT (reason "Timed out") or
    // ECANCELED on Stop.
    int listFolder(const std::string& path, std::function<bool(const platform::DirEntry&)> onEntry);
    // Any other call that touches a location (resolving a path, the attributes of a root, a
    // probe), under the same watch, so that a share that no longer answers holds up no caller
    // for longer than the timeout. `call` may go on after an abandoned wait: it must write only
    // to what it owns (a shared result). Returns its result, ETIMEDOUT or ECANCELED; on any
    // failure the reason is set.
    int guarded(std::function<int()> call);

    // Several in flight.
    Pending startCopy(const std::string& source, const std::string& target, bool failIfExists,
                      bool overwriteReadOnly, std::optional<platform::SeenTarget> seen = {});
    Pending startDelete(const std::string& path, bool overwriteReadOnly,
                        std::optional<platform::SeenTarget> seen = {});
    // Waits for the command and returns its result, setting the reason on failure as the
    // one-at-a-time calls do. A command whose worker put its change in place before Stop came
    // counts as done.
    bool finish(const Pending& command);

    // Commands still inside the file system, abandoned ones included (a hung share can keep one
    // there for good). Whoever owns a file system with a shorter life waits for this to reach 0.
    int runningWorkers() const { return *runningWorkers_; }
    // Waits at most `bound` until no command of this process is inside the file system any more,
    // so that abandoned copies get to remove their temporary files before the program ends.
    // True when none is left.
    static bool settle(std::chrono::milliseconds bound);

    platform::FileSystem& fileSystem() { return fs_; }
    LastReason& reason() { return reason_; }

private:
    static constexpr unsigned kQueuedPerWorker = 8;

    static Pending command(FileCommand::Kind kind, const std::string& source, const std::string& target,
                           bool failIfExists, bool overwriteReadOnly,
                           std::optional<platform::SeenTarget> seen = {});
    Pending start(Pending command);
    bool run(const Pending& command) { return finish(start(command)); }
    int waitFor(const Pending& command);
    void watch(std::uint64_t now);
    void giveUp(FileCommand& command, FileCommand::Outcome why);
    FileCommand& awaited(const Pending& command);
    void giveUpAll(FileCommand::Outcome why);

    platform::FileSystem& fs_;
    FrontEndPort& frontEnd_;
    const std::atomic<bool>& stopRequest_;
    LastReason& reason_;
    std::uint32_t timeoutSeconds_ = 300;
    bool copyAttributes_ = false;
    unsigned parallel_ = 1;
    std::function<void()> listener_;
    // Shared with the workers, which may outlive this object.
    std::shared_ptr<std::atomic<int>> runningWorkers_ = std::make_shared<std::atomic<int>>(0);
    std::unique_ptr<CommandPool> pool_;
    std::vector<Pending> inFlight_; // started, not yet finished, in the order started
};

} // namespace velmora
