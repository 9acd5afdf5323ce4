#pragma once

#include "platform/FileSystem.h"

#include <chrono>

namespace velmora::platform {

// A stand-in for a network share: passes every call on to another file system, after a fixed
// wait for each create, write, rename and unlink it stands for (a copy of a file is a create, a
// write and a rename). Listings and attribute reads pass at once. For benchmarks and tests of
// several commands in flight, where the round trips, not the disk, set the pace.
class LatencyFileSystem : public FileSystem {
public:
    LatencyFileSystem(FileSystem& inner, std::chrono::microseconds perOperation)
        : inner_(inner), perOperation_(perOperation) {}

    int getAttributes(const std::string& path, FileAttributes& out) override;
    int setAttributes(const std::string& path, std::uint32_t mode) override;
    int copyFile(const std::string& source, const std::string& target, bool failIfExists,
                 CommandGate* gate = nullptr, bool allowReadOnly = false,
                 const SeenTarget* seen = nullptr) override;
    int moveFile(const std::string& source, const std::string& target) override;
    int deleteFile(const std::string& path, bool allowReadOnly = false,
                   const SeenTarget* seen = nullptr) override;
    int createFolder(const std::string& path, std::uint32_t mode = 0777) override;
    int removeOwnTemporary(const std::string& path) override;
    int removeFolder(const std::string& path, bool allowReadOnly = false) override;
    int listFolder(const std::string& path, const std::function<bool(const DirEntry&)>& onEntry) override;
    bool foldsCase(const std::string& folder) override { return inner_.foldsCase(folder); }

protected:
    // The wait for `operations` round trips to the share that holds `path`.
    virtual void wait(const std::string& path, int operations);

private:
    FileSystem& inner_;
    std::chrono::microseconds perOperation_;
};

} // namespace velmora::platform
