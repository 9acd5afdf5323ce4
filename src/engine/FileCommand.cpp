#include "engine/FileCommand.h"

#include "engine/CommandWorker.h"
#include "engine/FrontEndPort.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Futex.h"

#include <cerrno>
#include <system_error>

namespace velmora {

namespace {

using platform::FileAttributes;
using platform::FileSystem;

constexpr std::uint32_t kOwnerWrite = 0200;
// The owner is not copied, so neither are set-user-ID and set-group-ID: root copying someone's
// program must not make a set-user-ID program owned by root.
constexpr std::uint32_t kCopiedModeBits = 01777;

// Copy or move with the read-only retry: a read-only target gets its write bit for the
// second try and its old mode back afterwards, whatever the second try gave.
int transfer(FileSystem& fs, FileCommand& command) {
    auto once = [&] {
        return command.kind == FileCommand::Kind::Copy
                   ? fs.copyFile(command.source, command.target, command.failIfExists, &command.abandoned)
                   : fs.moveFile(command.source, command.target);
    };
    FileAttributes sourceAttributes;
    if (command.copyAttributes) {
        if (int error = fs.getAttributes(command.source, sourceAttributes))
            return error;
    }
    int error = once();
    if (error && command.overwriteReadOnly && !command.abandoned) {
        FileAttributes targetAttributes;
        if (fs.getAttributes(command.target, targetAttributes) == 0 && targetAttributes.readOnly &&
            !targetAttributes.isDirectory) {
            fs.setAttributes(command.target, targetAttributes.mode | kOwnerWrite);
            error = once();
            fs.setAttributes(command.target, targetAttributes.mode);
        }
    }
    if (error == 0 && command.copyAttributes)
        error = fs.setAttributes(command.target, sourceAttributes.mode & kCopiedModeBits);
    return error;
}

int remove(FileSystem& fs, const FileCommand& command) {
    int error = fs.deleteFile(command.source);
    if (error && command.overwriteReadOnly && !command.abandoned) {
        FileAttributes attributes;
        if (fs.getAttributes(command.source, attributes) == 0 && attributes.readOnly) {
            fs.setAttributes(command.source, attributes.mode | kOwnerWrite);
            error = fs.deleteFile(command.source);
        }
    }
    return error;
}

} // namespace

int carryOut(platform::FileSystem& fs, FileCommand& command) {
    return command.kind == FileCommand::Kind::Delete ? remove(fs, command) : transfer(fs, command);
}

FileCommands::FileCommands(platform::FileSystem& fileSystem, FrontEndPort& frontEnd,
                           const std::atomic<bool>& stopRequest, LastReason& reason)
    : fs_(fileSystem), frontEnd_(frontEnd), stopRequest_(stopRequest), reason_(reason) {}

FileCommands::~FileCommands() {
    if (worker_)
        worker_->retire();
}

void FileCommands::abandon(FileCommand& command) {
    command.abandoned = true;
    worker_->retire();
    worker_.reset();
}

bool FileCommands::run(const std::shared_ptr<FileCommand>& command) {
    command->copyAttributes = copyAttributes_;
    if (!worker_) {
        try {
            worker_ = CommandWorker::start(fs_, runningWorkers_);
        } catch (const std::system_error& e) {
            reason_.setFromError(e.code().value());
            return false;
        }
    }
    worker_->hand(command);

    const std::uint64_t limitMillis = std::uint64_t{timeoutSeconds_} * 1000;
    while (!command->finished.load(std::memory_order_acquire)) {
        if (stopRequest_) {
            abandon(*command);
            return false;
        }
        if (limitMillis != 0 && command->startedMillis != 0 &&
            platform::steadyMillis() - command->startedMillis > limitMillis) {
            abandon(*command);
            reason_.set("Timed out");
            return false;
        }
        // Asleep until the worker is done, or for 1 ms, then one pump: Stop and the window stay live.
        command->waiting = true;
        if (command->finished.load() == 0)
            platform::futexWait(command->finished, 0, 1000);
        if (command->finished.load(std::memory_order_acquire))
            break;
        frontEnd_.pump();
    }
    const bool result = command->result;
    const int error = command->errorNumber;
    if (!result)
        reason_.setFromError(error);
    if (listener_)
        listener_();
    return result;
}

std::shared_ptr<FileCommand> FileCommands::command(FileCommand::Kind kind, const std::string& source,
                                                   const std::string& target, bool failIfExists,
                                                   bool overwriteReadOnly) {
    auto command = std::make_shared<FileCommand>();
    command->kind = kind;
    command->source = source;
    command->target = target;
    command->failIfExists = failIfExists;
    command->overwriteReadOnly = overwriteReadOnly;
    return command;
}

bool FileCommands::copyFile(const std::string& source, const std::string& target, bool failIfExists,
                            bool overwriteReadOnly) {
    return run(command(FileCommand::Kind::Copy, source, target, failIfExists, overwriteReadOnly));
}

bool FileCommands::moveFile(const std::string& source, const std::string& target, bool overwriteReadOnly) {
    return run(command(FileCommand::Kind::Move, source, target, true, overwriteReadOnly));
}

bool FileCommands::deleteFile(const std::string& path, bool overwriteReadOnly) {
    return run(command(FileCommand::Kind::Delete, path, {}, false, overwriteReadOnly));
}

bool FileCommands::createFolder(const std::string& path, std::int64_t attributes) {
    platform::FileAttributes existing;
    if (fs_.getAttributes(path, existing) == 0 && existing.isDirectory)
        return true;
    if (int error = fs_.createFolder(path)) {
        // The caller reports the failure with this reason.
        reason_.setFromError(error);
        return false;
    }
    if (attributes >= 0)
        fs_.setAttributes(path, static_cast<std::uint32_t>(attributes));
    return true;
}

bool FileCommands::removeFolder(const std::string& path, bool overwriteReadOnly) {
    int error = fs_.removeFolder(path);
    if (error && overwriteReadOnly) {
        platform::FileAttributes attributes;
        if (fs_.getAttributes(path, attributes) == 0 && attributes.readOnly) {
            fs_.setAttributes(path, attributes.mode | kOwnerWrite);
            error = fs_.removeFolder(path);
        }
    }
    if (error == 0)
        return true;
    reason_.setFromError(error);
    return false;
}

} // namespace velmora
