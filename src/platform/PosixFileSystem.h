#pragma once

#include "platform/FileSystem.h"
#include "platform/LocationRoots.h"

namespace velmora::platform {

// The file system of this machine through POSIX and Linux calls. Its only state is the run's
// location roots (and a process-wide note of where cloning is refused); every thread may use it.
class PosixFileSystem final : public FileSystem {
public:
    void setLocationRoots(const std::vector<std::string>& roots) override;
    int getAttributes(const std::string& path, FileAttributes& out) override;
    int setAttributes(const std::string& path, std::uint32_t mode) override;
    int copyFile(const std::string& source, const std::string& target, bool failIfExists,
                 CommandGate* gate = nullptr, bool allowReadOnly = false,
                 const SeenTarget* seen = nullptr) override;
    int readFile(const std::string& path, FileStamp& stamp, const ByteSink& sink, CommandGate* gate) override;
    int writeFile(const std::string& target, const ByteFill& fill, bool failIfExists, CommandGate* gate,
                  bool allowReadOnly = false, const SeenTarget* seen = nullptr) override;
    int moveFile(const std::string& source, const std::string& target) override;
    int deleteFile(const std::string& path, bool allowReadOnly = false,
                   const SeenTarget* seen = nullptr) override;
    int createFolder(const std::string& path, std::uint32_t mode = 0777) override;
    int removeOwnTemporary(const std::string& path) override;
    int removeFolder(const std::string& path, bool allowReadOnly = false) override;
    int listFolder(const std::string& path, const std::function<bool(const DirEntry&)>& onEntry) override;
    bool foldsCase(const std::string& folder) override;

private:
    LocationRoots roots_;
};

} // namespace velmora::platform
