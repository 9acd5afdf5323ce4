#include "remote/RoutingFileSystem.h"

#include "remote/RemoteAddress.h"

#include <cerrno>

namespace velmora::remote {

std::string serverPart(std::string_view location) {
    if (!isRemoteLocation(location))
        return {};
    const std::size_t hostStart = location.find("://") + 3;
    const std::size_t pathStart = location.find('/', hostStart);
    return std::string(location.substr(0, pathStart));
}

void RoutingFileSystem::addServer(const std::string& server,
                                  std::shared_ptr<platform::FileSystem> fileSystem) {
    servers_[server] = std::move(fileSystem);
}

RoutingFileSystem::Route RoutingFileSystem::route(const std::string& path) const {
    const std::string server = serverPart(path);
    if (server.empty())
        return {&local_, path, {}};
    const auto found = servers_.find(server);
    std::string rest = path.substr(server.size());
    if (rest.empty())
        rest = "/";
    return {found != servers_.end() ? found->second.get() : nullptr, rest, server};
}

// A remote path whose server was never connected fails as a host that cannot be reached.
#define VELMORA_ROUTE(path, call)                                                                            \
    const Route r = route(path);                                                                             \
    if (r.fileSystem == nullptr)                                                                             \
        return EHOSTUNREACH;                                                                                 \
    return r.fileSystem->call

void RoutingFileSystem::setLocationRoots(const std::vector<std::string>& roots) {
    std::vector<std::string> localRoots;
    for (const std::string& root : roots)
        if (serverPart(root).empty())
            localRoots.push_back(root);
    local_.setLocationRoots(localRoots);
}

int RoutingFileSystem::getAttributes(const std::string& path, platform::FileAttributes& out) {
    VELMORA_ROUTE(path, getAttributes(r.path, out));
}

int RoutingFileSystem::setAttributes(const std::string& path, std::uint32_t mode) {
    VELMORA_ROUTE(path, setAttributes(r.path, mode));
}

int RoutingFileSystem::copyFile(const std::string& source, const std::string& target, bool failIfExists,
                                platform::CommandGate* gate, bool allowReadOnly,
                                const platform::SeenTarget* seen) {
    const Route from = route(source);
    const Route to = route(target);
    if (from.fileSystem == nullptr || to.fileSystem == nullptr)
        return EHOSTUNREACH;
    if (from.fileSystem == to.fileSystem)
        return from.fileSystem->copyFile(from.path, to.path, failIfExists, gate, allowReadOnly, seen);
    return to.fileSystem->writeFile(
        to.path,
        [&](const platform::ByteSink& sink, platform::FileStamp& stamp) {
            return from.fileSystem->readFile(from.path, stamp, sink, gate);
        },
        failIfExists, gate, allowReadOnly, seen);
}

int RoutingFileSystem::readFile(const std::string& path, platform::FileStamp& stamp,
                                const platform::ByteSink& sink, platform::CommandGate* gate) {
    VELMORA_ROUTE(path, readFile(r.path, stamp, sink, gate));
}

int RoutingFileSystem::writeFile(const std::string& target, const platform::ByteFill& fill, bool failIfExists,
                                 platform::CommandGate* gate, bool allowReadOnly,
                                 const platform::SeenTarget* seen) {
    VELMORA_ROUTE(target, writeFile(r.path, fill, failIfExists, gate, allowReadOnly, seen));
}

int RoutingFileSystem::moveFile(const std::string& source, const std::string& target) {
    const Route from = route(source);
    const Route to = route(target);
    if (from.fileSystem == nullptr || to.fileSystem == nullptr)
        return EHOSTUNREACH;
    if (from.fileSystem != to.fileSystem)
        return EXDEV;
    return from.fileSystem->moveFile(from.path, to.path);
}

int RoutingFileSystem::deleteFile(const std::string& path, bool allowReadOnly,
                                  const platform::SeenTarget* seen) {
    VELMORA_ROUTE(path, deleteFile(r.path, allowReadOnly, seen));
}

int RoutingFileSystem::createFolder(const std::string& path, std::uint32_t mode) {
    VELMORA_ROUTE(path, createFolder(r.path, mode));
}

int RoutingFileSystem::removeOwnTemporary(const std::string& path) {
    VELMORA_ROUTE(path, removeOwnTemporary(r.path));
}

int RoutingFileSystem::removeFolder(const std::string& path, bool allowReadOnly) {
    VELMORA_ROUTE(path, removeFolder(r.path, allowReadOnly));
}

int RoutingFileSystem::listFolder(const std::string& path,
                                  const std::function<bool(const platform::DirEntry&)>& onEntry) {
    VELMORA_ROUTE(path, listFolder(r.path, onEntry));
}

bool RoutingFileSystem::foldsCase(const std::string& folder) {
    const Route r = route(folder);
    return r.fileSystem == nullptr || r.fileSystem->foldsCase(r.path);
}

int RoutingFileSystem::resolveLocation(const std::string& path, std::string& real,
                                       platform::FileIdentity& identity) {
    const Route r = route(path);
    if (r.fileSystem == nullptr)
        return EHOSTUNREACH;
    const int error = r.fileSystem->resolveLocation(r.path, real, identity);
    if (error == 0)
        real = r.server + real;
    return error;
}

int RoutingFileSystem::openLog(const std::string& path, bool append, platform::FileHandle& out,
                               platform::FileIdentity& identity) {
    // The run log is written on this machine only.
    if (!serverPart(path).empty())
        return ENOTSUP;
    return local_.openLog(path, append, out, identity);
}

#undef VELMORA_ROUTE

} // namespace velmora::remote
