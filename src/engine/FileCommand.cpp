#include "engine/FileCommand.h"

#include "engine/CommandPool.h"
#include "engine/FrontEndPort.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Futex.h"

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <thread>

namespace velmora {

namespace {

using platform::FileAttributes;
using platform::FileSystem;

constexpr std::uint32_t kOwnerWrite = 0200;
// The owner is not copied, so neither are set-user-ID and set-group-ID: root copying someone's
// program must not make a set-user-ID program owned by root.
constexpr std::uint32_t kCopiedModeBits = 01777;

std::string folderOf(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

// Commands run side by side in one folder: one of them opening it while another puts its mode
// back would leave it open, or fail the first, so only one at a time may change a folder's mode.
std::mutex& folderModeChange() {
    static std::mutex mutex;
    return mutex;
}

// Runs `operation` once more with the folder that holds `path` writable for its owner, when that
// folder is read-only (what refused the operation), and puts the folder's mode back afterwards,
// whatever the outcome. Answers `refusal` when the folder is not what refused it.
int inOpenedFolder(FileSystem& fs, const std::string& path, int refusal,
                   const std::function<int()>& operation) {
    const std::string folder = folderOf(path);
    std::lock_guard lock(folderModeChange());
    FileAttributes attributes;
    if (fs.getAttributes(folder, attributes) != 0 || !attributes.isDirectory)
        return refusal;
    if ((attributes.mode & kOwnerWrite) != 0)
        return operation(); // another command had it open when this one was refused
    if (fs.setAttributes(folder, attributes.mode | kOwnerWrite) != 0)
        return refusal;
    const int error = operation();
    fs.setAttributes(folder, attributes.mode);
    return error;
}

// Copy or move. With "overwrite read only" a read-only target is replaced without touching its mode
// (its other hard links keep theirs); the new file takes that mode so that it stays read-only.
int transfer(FileSystem& fs, FileCommand& command) {
    auto once = [&](bool allowReadOnly) {
        if (command.kind == FileCommand::Kind::Copy)
            return fs.copyFile(command.source, command.target, command.failIfExists, &command.gate,
                               allowReadOnly, command.seen ? &*command.seen : nullptr);
        return command.gate.commit() ? fs.moveFile(command.source, command.target) : ECANCELED;
    };
    FileAttributes sourceAttributes;
    if (command.copyAttributes) {
        if (int error = fs.getAttributes(command.source, sourceAttributes))
            return error;
    }
    int error = once(false);
    if (error == EACCES && command.overwriteReadOnly && !command.gate.abandoned()) {
        FileAttributes targetAttributes;
        const bool readOnlyTarget = fs.getAttributes(command.target, targetAttributes) == 0 &&
                                    targetAttributes.readOnly && !targetAttributes.isDirectory;
        if (readOnlyTarget)
            error = once(true);
        if (error == EACCES && !command.gate.abandoned())
            error = inOpenedFolder(fs, command.target, error, [&] { return once(true); });
        if (error == 0 && readOnlyTarget)
            fs.setAttributes(command.target, targetAttributes.mode);
    }
    if (error == 0 && command.copyAttributes)
        error = fs.setAttributes(command.target, sourceAttributes.mode & kCopiedModeBits);
    return error;
}

// A delete or folder removal; with "overwrite read only" a read-only file or folder is removed
// without a change of its mode, and a read-only folder around it is opened for the time of it.
int removeAllowingReadOnly(FileSystem& fs, const std::string& path, bool overwriteReadOnly,
                           const std::function<int(bool allowReadOnly)>& removal) {
    int error = removal(false);
    if (error != EACCES || !overwriteReadOnly)
        return error;
    error = removal(true);
    if (error == EACCES)
        error = inOpenedFolder(fs, path, error, [&] { return removal(true); });
    return error;
}

int remove(FileSystem& fs, FileCommand& command) {
    if (!command.gate.commit())
        return ECANCELED;
    const platform::SeenTarget* seen = command.seen ? &*command.seen : nullptr;
    return removeAllowingReadOnly(fs, command.source, command.overwriteReadOnly, [&](bool allowReadOnly) {
        return fs.deleteFile(command.source, allowReadOnly, seen);
    });
}

int list(FileSystem& fs, FileCommand& command) {
    return fs.listFolder(command.source, [&](const platform::DirEntry& entry) {
        if (command.gate.abandoned())
            return false;
        command.gate.progressed();
        return command.onEntry(entry);
    });
}

// How long Stop waits for commands that had already committed to their change (a rename or an
// unlink, one quick call on a working disk) so that they are recorded as what they did.
constexpr std::uint64_t kCommitGraceMillis = 50;

} // namespace

int carryOut(platform::FileSystem& fs, FileCommand& command) {
    switch (command.kind) {
    case FileCommand::Kind::Delete:
        return remove(fs, command);
    case FileCommand::Kind::List:
        return list(fs, command);
    case FileCommand::Kind::Call:
        return command.call();
    default:
        return transfer(fs, command);
    }
}

FileCommands::FileCommands(platform::FileSystem& fileSystem, FrontEndPort& frontEnd,
                           const std::atomic<bool>& stopRequest, LastReason& reason)
    : fs_(fileSystem), frontEnd_(frontEnd), stopRequest_(stopRequest), reason_(reason),
      pool_(std::make_unique<CommandPool>(fileSystem, runningWorkers_)) {}

FileCommands::~FileCommands() = default;

bool FileCommands::settle(std::chrono::milliseconds bound) {
    const std::uint64_t deadline = platform::steadyMillis() + static_cast<std::uint64_t>(bound.count());
    while (CommandPool::insideProcess() > 0) {
        if (platform::steadyMillis() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

FileCommands::Pending FileCommands::start(Pending command) {
    command->copyAttributes = copyAttributes_;
    inFlight_.push_back(command);
    if (const int error = pool_->hand(command, parallel_); error != 0) {
        // Never started: it ends at once with the reason of the failed start.
        command->errorNumber = error;
        command->finished = 1;
    }
    return command;
}

void FileCommands::giveUp(FileCommand& command, FileCommand::Outcome why) {
    if (command.finished.load(std::memory_order_acquire) || command.givenUp != FileCommand::Outcome::Running)
        return;
    if (!command.gate.abandon()) {
        // The worker got there first and is putting its change in place: what it did counts,
        // unless it hangs in that very call.
        const std::uint64_t deadline = platform::steadyMillis() + kCommitGraceMillis;
        while (!command.finished.load(std::memory_order_acquire) && platform::steadyMillis() < deadline) {
            command.waiting = true;
            if (command.finished.load() == 0)
                platform::futexWait(command.finished, 0, 1000);
        }
        if (command.finished.load(std::memory_order_acquire))
            return;
    }
    command.givenUp = why;
    // A hung call never holds up, or reports into, a later command: that gets another worker.
    command.dropped = pool_->giveUp(command);
}

void FileCommands::giveUpAll(FileCommand::Outcome why) {
    for (const Pending& command : inFlight_)
        giveUp(*command, why);
}

// Every command in flight keeps its own timeout, counted from its last progress.
void FileCommands::watch(std::uint64_t now) {
    const std::uint64_t limitMillis = std::uint64_t{timeoutSeconds_} * 1000;
    if (limitMillis == 0)
        return;
    for (const Pending& command : inFlight_) {
        const std::uint64_t last = command->gate.lastProgressMillis();
        if (last != 0 && now > last && now - last > limitMillis)
            giveUp(*command, FileCommand::Outcome::TimedOut);
    }
}

// While commands end quickly, one worker goes through them in the order started: the waiting side
// sleeps until the middle of those in flight is done rather than being woken for each one.
FileCommand& FileCommands::awaited(const Pending& command) {
    if (!pool_->commandsAreQuick())
        return *command;
    const auto at = std::find(inFlight_.begin(), inFlight_.end(), command);
    if (at == inFlight_.end())
        return *command;
    FileCommand& middle = **(at + (inFlight_.end() - at) / 2);
    if (middle.finished.load(std::memory_order_acquire) || middle.givenUp != FileCommand::Outcome::Running)
        return *command;
    return middle;
}

bool FileCommands::finish(const Pending& command) {
    using Outcome = FileCommand::Outcome;
    while (!command->finished.load(std::memory_order_acquire) && command->givenUp == Outcome::Running) {
        if (stopRequest_) {
            giveUpAll(Outcome::Stopped);
            continue;
        }
        watch(platform::steadyMillis());
        if (command->givenUp != Outcome::Running)
            break;
        // Asleep until the worker is done, or for 1 ms, then one pump: Stop and the window stay live.
        FileCommand& target = awaited(command);
        target.waiting = true;
        if (target.finished.load() == 0)
            platform::futexWait(target.finished, 0, 1000);
        if (command->finished.load(std::memory_order_acquire))
            break;
        if (!target.finished.load(std::memory_order_acquire))
            pool_->handMore(parallel_); // a millisecond went by and the commands are not moving
        frontEnd_.pump();
    }

    if (const auto it = std::find(inFlight_.begin(), inFlight_.end(), command); it != inFlight_.end())
        inFlight_.erase(it);
    bool result = false;
    switch (command->givenUp) {
    case Outcome::TimedOut:
        reason_.set("Timed out");
        break;
    case Outcome::Stopped:
        break; // the caller knows why
    case Outcome::Running:
        result = command->result;
        if (!result)
            reason_.setFromError(command->errorNumber);
        break;
    }
    // A command given up says nothing more: only an ended one moves the progress on.
    const bool moves = command->kind != FileCommand::Kind::List && command->kind != FileCommand::Kind::Call;
    if (listener_ && moves && command->givenUp == Outcome::Running)
        listener_();
    return result;
}

FileCommands::Pending FileCommands::command(FileCommand::Kind kind, const std::string& source,
                                            const std::string& target, bool failIfExists,
                                            bool overwriteReadOnly,
                                            std::optional<platform::SeenTarget> seen) {
    auto command = std::make_shared<FileCommand>();
    command->seen = seen;
    command->kind = kind;
    command->source = source;
    command->target = target;
    command->failIfExists = failIfExists;
    command->overwriteReadOnly = overwriteReadOnly;
    return command;
}

bool FileCommands::copyFile(const std::string& source, const std::string& target, bool failIfExists,
                            bool overwriteReadOnly, std::optional<platform::SeenTarget> seen) {
    return run(command(FileCommand::Kind::Copy, source, target, failIfExists, overwriteReadOnly, seen));
}

bool FileCommands::moveFile(const std::string& source, const std::string& target, bool overwriteReadOnly) {
    return run(command(FileCommand::Kind::Move, source, target, true, overwriteReadOnly));
}

bool FileCommands::deleteFile(const std::string& path, bool overwriteReadOnly,
                              std::optional<platform::SeenTarget> seen) {
    return run(command(FileCommand::Kind::Delete, path, {}, false, overwriteReadOnly, seen));
}

FileCommands::Pending FileCommands::startCopy(const std::string& source, const std::string& target,
                                              bool failIfExists, bool overwriteReadOnly,
                                              std::optional<platform::SeenTarget> seen) {
    return start(command(FileCommand::Kind::Copy, source, target, failIfExists, overwriteReadOnly, seen));
}

FileCommands::Pending FileCommands::startDelete(const std::string& path, bool overwriteReadOnly,
                                                std::optional<platform::SeenTarget> seen) {
    return start(command(FileCommand::Kind::Delete, path, {}, false, overwriteReadOnly, seen));
}

int FileCommands::listFolder(const std::string& path,
                             std::function<bool(const platform::DirEntry&)> onEntry) {
    // After Stop nothing more is read: a listing not yet begun would only touch the share again.
    if (stopRequest_)
        return ECANCELED;
    Pending listing = command(FileCommand::Kind::List, path, {}, false, false);
    listing->onEntry = std::move(onEntry);
    return waitFor(listing);
}

int FileCommands::guarded(std::function<int()> call) {
    if (stopRequest_) {
        reason_.setFromError(ECANCELED);
        return ECANCELED;
    }
    Pending pending = command(FileCommand::Kind::Call, {}, {}, false, false);
    pending->call = std::move(call);
    const int error = waitFor(pending);
    if (error == ECANCELED)
        reason_.setFromError(error);
    return error;
}

int FileCommands::waitFor(const Pending& pending) {
    start(pending);
    if (finish(pending))
        return 0;
    switch (pending->givenUp) {
    case FileCommand::Outcome::TimedOut:
        return ETIMEDOUT;
    case FileCommand::Outcome::Stopped:
        return ECANCELED;
    default:
        return pending->errorNumber;
    }
}

bool FileCommands::createFolder(const std::string& path, std::int64_t sourceMode) {
    const std::uint32_t mode = sourceMode < 0 ? 0777 : (static_cast<std::uint32_t>(sourceMode) & 0777) | 0700;
    // The file system outlives every worker; this object may not.
    platform::FileSystem* fs = &fs_;
    return guarded([fs, path, mode] {
               platform::FileAttributes existing;
               if (fs->getAttributes(path, existing) == 0 && existing.isDirectory)
                   return 0;
               return fs->createFolder(path, mode);
           }) == 0; // the caller reports a failure with the reason set
}

bool FileCommands::removeFolder(const std::string& path, bool overwriteReadOnly) {
    platform::FileSystem* fs = &fs_;
    return guarded([fs, path, overwriteReadOnly] {
               return removeAllowingReadOnly(*fs, path, overwriteReadOnly, [&](bool allowReadOnly) {
                   return fs->removeFolder(path, allowReadOnly);
               });
           }) == 0;
}

} // namespace velmora
