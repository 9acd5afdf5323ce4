#pragma once

#include "platform/FileSystem.h"

namespace velmora::platform {

// The file system of this machine through POSIX and Linux calls. Holds no state of its own
// (beyond a process-wide note of where cloning is refused), so every thread may use it.
class PosixFileSystem final : public FileSystem {
public:
    int getAttributes(const std::string& path, FileAttributes& out) override;
    int setAttributes(const std::string& path, std::uint32_t mode) override;
    int copyFile(const std::string& source, const std::string& target, bool failIfExists,
                 const std::atomic<bool>* abandoned = nullptr) override;
    int moveFile(const std::string& source, const std::string& target) override;
    int deleteFile(const std::string& path) override;
    int createFolder(const std::string& path) override;
    int removeFolder(const std::string& path) override;
    int listFolder(const std::string& path, const std::function<bool(const DirEntry&)>& onEntry) override;
};

} // namespace velmora::platform
