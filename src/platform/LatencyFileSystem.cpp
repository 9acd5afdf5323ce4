#include "platform/LatencyFileSystem.h"

#include <thread>

namespace velmora::platform {

void LatencyFileSystem::wait(const std::string&, int operations) {
    std::this_thread::sleep_for(perOperation_ * operations);
}

int LatencyFileSystem::getAttributes(const std::string& path, FileAttributes& out) {
    return inner_.getAttributes(path, out);
}

int LatencyFileSystem::setAttributes(const std::string& path, std::uint32_t mode) {
    return inner_.setAttributes(path, mode);
}

int LatencyFileSystem::copyFile(const std::string& source, const std::string& target, bool failIfExists,
                                CommandGate* gate, bool allowReadOnly, const SeenTarget* seen) {
    wait(target, 3);
    return inner_.copyFile(source, target, failIfExists, gate, allowReadOnly, seen);
}

int LatencyFileSystem::moveFile(const std::string& source, const std::string& target) {
    wait(target, 1);
    return inner_.moveFile(source, target);
}

int LatencyFileSystem::deleteFile(const std::string& path, bool allowReadOnly, const SeenTarget* seen) {
    wait(path, 1);
    return inner_.deleteFile(path, allowReadOnly, seen);
}

int LatencyFileSystem::createFolder(const std::string& path, std::uint32_t mode) {
    wait(path, 1);
    return inner_.createFolder(path, mode);
}

int LatencyFileSystem::removeOwnTemporary(const std::string& path) {
    wait(path, 1);
    return inner_.removeOwnTemporary(path);
}

int LatencyFileSystem::removeFolder(const std::string& path, bool allowReadOnly) {
    wait(path, 1);
    return inner_.removeFolder(path, allowReadOnly);
}

int LatencyFileSystem::listFolder(const std::string& path,
                                  const std::function<bool(const DirEntry&)>& onEntry) {
    return inner_.listFolder(path, onEntry);
}

} // namespace velmora::platform
