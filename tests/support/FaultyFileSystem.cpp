#include "support/FaultyFileSystem.h"

#include <fcntl.h>
#include <unistd.h>

namespace velmora::test {

namespace {

std::size_t indexOf(FsOp op) {
    return static_cast<std::size_t>(op);
}
static_assert(static_cast<std::size_t>(FsOp::ResolveLocation) == 9, "one plan per operation");

} // namespace

FaultyFileSystem::FaultyFileSystem(platform::FileSystem& inner) : inner_(inner) {}

FaultyFileSystem::~FaultyFileSystem() {
    std::unique_lock lock(mutex_);
    closing_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return inside_ == 0; });
}

void FaultyFileSystem::failOn(FsOp op, int errorNumber, int nth, int times) {
    std::lock_guard lock(mutex_);
    Plan& plan = plans_[indexOf(op)];
    plan.errorNumber = errorNumber;
    plan.failFrom = plan.calls + (nth < 1 ? 1 : nth);
    plan.failCount = times;
}

void FaultyFileSystem::hang(FsOp op) {
    hangFor(op, std::chrono::milliseconds(0));
}

void FaultyFileSystem::hangFor(FsOp op, std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    Plan& plan = plans_[indexOf(op)];
    plan.hangs = true;
    plan.delay = delay;
}

void FaultyFileSystem::release(FsOp op) {
    std::lock_guard lock(mutex_);
    Plan& plan = plans_[indexOf(op)];
    plan.hangs = false;
    ++plan.releaseGeneration;
    changed_.notify_all();
}

void FaultyFileSystem::release() {
    for (std::size_t i = 0; i < plans_.size(); ++i)
        release(static_cast<FsOp>(i));
}

bool FaultyFileSystem::waitUntilHung(FsOp op, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return plans_[indexOf(op)].hung > 0; });
}

int FaultyFileSystem::calls(FsOp op) const {
    std::lock_guard lock(mutex_);
    return plans_[indexOf(op)].calls;
}

void FaultyFileSystem::reset() {
    std::lock_guard lock(mutex_);
    for (Plan& plan : plans_) {
        const long generation = plan.releaseGeneration + 1;
        const int hung = plan.hung;
        plan = Plan{};
        plan.releaseGeneration = generation;
        plan.hung = hung;
    }
    logDiskFull_ = false;
    changed_.notify_all();
}

int FaultyFileSystem::enter(FsOp op) {
    std::unique_lock lock(mutex_);
    ++inside_;
    Plan& plan = plans_[indexOf(op)];
    const int number = ++plan.calls;
    if (plan.hangs && !closing_) {
        const long generation = plan.releaseGeneration;
        auto released = [&] { return closing_ || plan.releaseGeneration != generation; };
        ++plan.hung;
        changed_.notify_all();
        if (plan.delay.count() > 0)
            changed_.wait_for(lock, plan.delay, released);
        else
            changed_.wait(lock, released);
        --plan.hung;
    }
    const bool failing = plan.failFrom != 0 && number >= plan.failFrom &&
                         (plan.failCount < 0 || number < plan.failFrom + plan.failCount);
    return failing ? plan.errorNumber : 0;
}

void FaultyFileSystem::leave() {
    std::lock_guard lock(mutex_);
    --inside_;
    changed_.notify_all();
}

template <typename Call>
int FaultyFileSystem::run(FsOp op, Call&& call) {
    struct Leave {
        FaultyFileSystem* self;
        ~Leave() { self->leave(); }
    } guard{this}; // also when a listing's callback throws, or the destructor would wait for ever
    const int result = enter(op);
    return result != 0 ? result : call();
}

int FaultyFileSystem::getAttributes(const std::string& path, platform::FileAttributes& out) {
    return run(FsOp::GetAttributes, [&] { return inner_.getAttributes(path, out); });
}

int FaultyFileSystem::resolveLocation(const std::string& path, std::string& real,
                                      platform::FileIdentity& identity) {
    return run(FsOp::ResolveLocation, [&] { return inner_.resolveLocation(path, real, identity); });
}

int FaultyFileSystem::setAttributes(const std::string& path, std::uint32_t mode) {
    return run(FsOp::SetAttributes, [&] { return inner_.setAttributes(path, mode); });
}

int FaultyFileSystem::copyFile(const std::string& source, const std::string& target, bool failIfExists,
                               platform::CommandGate* gate, bool allowReadOnly,
                               const platform::SeenTarget* seen) {
    return run(FsOp::CopyFile,
               [&] { return inner_.copyFile(source, target, failIfExists, gate, allowReadOnly, seen); });
}

int FaultyFileSystem::moveFile(const std::string& source, const std::string& target) {
    return run(FsOp::MoveFile, [&] { return inner_.moveFile(source, target); });
}

int FaultyFileSystem::deleteFile(const std::string& path, bool allowReadOnly,
                                 const platform::SeenTarget* seen) {
    return run(FsOp::DeleteFile, [&] { return inner_.deleteFile(path, allowReadOnly, seen); });
}

int FaultyFileSystem::createFolder(const std::string& path, std::uint32_t mode) {
    return run(FsOp::CreateFolder, [&] { return inner_.createFolder(path, mode); });
}

int FaultyFileSystem::removeOwnTemporary(const std::string& path) {
    return run(FsOp::DeleteFile, [&] { return inner_.removeOwnTemporary(path); });
}

int FaultyFileSystem::removeFolder(const std::string& path, bool allowReadOnly) {
    return run(FsOp::RemoveFolder, [&] { return inner_.removeFolder(path, allowReadOnly); });
}

int FaultyFileSystem::listFolder(const std::string& path,
                                 const std::function<bool(const platform::DirEntry&)>& onEntry) {
    return run(FsOp::ListFolder, [&] { return inner_.listFolder(path, onEntry); });
}

void FaultyFileSystem::answerFoldsCase(std::optional<bool> folds) {
    std::lock_guard lock(mutex_);
    foldsCase_ = folds;
}

bool FaultyFileSystem::foldsCase(const std::string& folder) {
    {
        std::lock_guard lock(mutex_);
        if (foldsCase_)
            return *foldsCase_;
    }
    return inner_.foldsCase(folder);
}

bool FaultyFileSystem::fillDiskUnderLog() {
    if (::access("/dev/full", W_OK) != 0)
        return false;
    std::lock_guard lock(mutex_);
    logDiskFull_ = true;
    return true;
}

int FaultyFileSystem::openLog(const std::string& path, bool append, platform::FileHandle& out,
                              platform::FileIdentity& identity) {
    const int result = run(FsOp::OpenLog, [&] { return inner_.openLog(path, append, out, identity); });
    bool full = false;
    {
        std::lock_guard lock(mutex_);
        full = logDiskFull_;
    }
    if (result != 0 || !full)
        return result;
    // The log file itself is opened (and known by its identity); only its writes go to the full device.
    const platform::FileHandle device(::open("/dev/full", O_WRONLY | O_CLOEXEC));
    if (!device || ::dup3(device.get(), out.get(), O_CLOEXEC) < 0)
        return errno;
    return 0;
}

} // namespace velmora::test
