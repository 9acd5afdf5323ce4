#pragma once

#include "platform/FileSystem.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace velmora::remote {

// The part of a remote location that names its server and login ("sftp://ann@backup:2222" of
// "sftp://ann@backup:2222/~/Documents/"); empty for a local path.
std::string serverPart(std::string_view location);

// The file system of a run whose locations may be on other machines: a path under a connected
// server's part goes to that server's file system with the server part taken off, every other
// path to the local one. A copy between a local and a remote location (or two servers) streams
// the bytes from one to the other, put in place by the target's side exactly as a local copy is.
class RoutingFileSystem final : public platform::FileSystem {
public:
    explicit RoutingFileSystem(platform::FileSystem& local) : local_(local) {}

    // Paths beginning with `server` (see serverPart) go to `fileSystem` from now on.
    void addServer(const std::string& server, std::shared_ptr<platform::FileSystem> fileSystem);
    bool hasServer(const std::string& server) const { return servers_.count(server) != 0; }
    bool hasServers() const { return !servers_.empty(); }
    // The file system of a connected server; null when it is not connected.
    std::shared_ptr<platform::FileSystem> server(const std::string& server) const {
        const auto found = servers_.find(server);
        return found != servers_.end() ? found->second : nullptr;
    }
    // Closes every connection; paths on those servers fail from now on.
    void dropServers() { servers_.clear(); }

    void setLocationRoots(const std::vector<std::string>& roots) override;
    int getAttributes(const std::string& path, platform::FileAttributes& out) override;
    int setAttributes(const std::string& path, std::uint32_t mode) override;
    int copyFile(const std::string& source, const std::string& target, bool failIfExists,
                 platform::CommandGate* gate = nullptr, bool allowReadOnly = false,
                 const platform::SeenTarget* seen = nullptr) override;
    int readFile(const std::string& path, platform::FileStamp& stamp, const platform::ByteSink& sink,
                 platform::CommandGate* gate) override;
    int writeFile(const std::string& target, const platform::ByteFill& fill, bool failIfExists,
                  platform::CommandGate* gate, bool allowReadOnly = false,
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
    int resolveLocation(const std::string& path, std::string& real,
                        platform::FileIdentity& identity) override;
    int openLog(const std::string& path, bool append, platform::FileHandle& out,
                platform::FileIdentity& identity) override;

private:
    struct Route {
        platform::FileSystem* fileSystem = nullptr; // null: a remote path whose server is not connected
        std::string path;
        std::string server; // "" for local paths
    };
    Route route(const std::string& path) const;

    platform::FileSystem& local_;
    std::map<std::string, std::shared_ptr<platform::FileSystem>, std::less<>> servers_;
};

} // namespace velmora::remote
