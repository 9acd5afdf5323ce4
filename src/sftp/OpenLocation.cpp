#include "sftp/OpenLocation.h"

#include "remote/RemoteAddress.h"

namespace velmora::sftp {

std::string openLocation(remote::RoutingFileSystem& fileSystem, const std::string& location, SftpLogin how) {
    const std::string server = remote::serverPart(location);
    if (server.empty() || fileSystem.hasServer(server))
        return {};
    const remote::RemoteAddressResult parsed = remote::parseRemoteAddress(location);
    if (!parsed.address)
        return parsed.error;
    how.address = *parsed.address;
    std::string error;
    std::unique_ptr<SftpFileSystem> connected = SftpFileSystem::connect(how, error);
    if (!connected)
        return error;
    fileSystem.addServer(server, std::move(connected));
    return {};
}

} // namespace velmora::sftp
