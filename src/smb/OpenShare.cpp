#include "smb/OpenShare.h"

#include "platform/ErrorText.h"
#include "platform/FileSystem.h"
#include "platform/Mounts.h"
#include "remote/RemoteAddress.h"

#include <cerrno>
#include <sstream>

namespace velmora::smb {

namespace {

std::string connectServer(remote::RoutingFileSystem& fileSystem, const std::string& location, SmbLogin how,
                          bool needsShare) {
    const std::string server = remote::serverPart(location);
    if (server.empty())
        return {};
    const remote::RemoteAddressResult parsed = remote::parseRemoteAddress(location);
    if (!parsed.address)
        return parsed.error;
    if (fileSystem.hasServer(server)) {
        // Browsing opens the server first, perhaps as a guest; a share may want a login of its own.
        auto* connected = dynamic_cast<SmbFileSystem*>(fileSystem.server(server).get());
        return connected != nullptr && !needsShare ? connected->logIn(parsed.address->path, how)
                                                   : std::string();
    }
    if (needsShare && parsed.address->path.size() < 2)
        return "A share location names the share after the server, such as smb://server/share/folder/";
    how.address = *parsed.address;
    std::string error;
    std::unique_ptr<SmbFileSystem> connected = SmbFileSystem::connect(how, error);
    if (!connected)
        return error;
    fileSystem.addServer(server, std::move(connected));
    return {};
}

} // namespace

std::string openShare(remote::RoutingFileSystem& fileSystem, const std::string& location, SmbLogin how) {
    return connectServer(fileSystem, location, std::move(how), true);
}

std::string openServer(remote::RoutingFileSystem& fileSystem, const std::string& location, SmbLogin how) {
    return connectServer(fileSystem, location, std::move(how), false);
}

int sharesOfServer(remote::RoutingFileSystem& fileSystem, const std::string& server,
                   std::vector<ShareInfo>& out) {
    auto* shares = dynamic_cast<SmbFileSystem*>(fileSystem.server(server).get());
    return shares != nullptr ? shares->listShares(out) : EHOSTUNREACH;
}

std::optional<SmbCredentials> readCredentialsFile(const std::string& path, std::string& error) {
    platform::FileAttributes attributes;
    if (const int failure = platform::realFileSystem().getAttributes(path, attributes)) {
        error = "Could not read the credentials file " + path + ": " + platform::errorText(failure);
        return std::nullopt;
    }
    if ((attributes.mode & 077) != 0) {
        error = "The credentials file " + path +
                " may be read by other users: make it private (chmod 600) before it is used";
        return std::nullopt;
    }
    std::string text;
    if (!platform::readTextFile(path, text)) {
        error = "Could not read the credentials file " + path;
        return std::nullopt;
    }
    SmbCredentials credentials;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        std::string key = line.substr(0, equals);
        std::string value = line.substr(equals + 1);
        while (!key.empty() && key.back() == ' ')
            key.pop_back();
        while (!value.empty() && value.front() == ' ')
            value.erase(0, 1);
        if (key == "username")
            credentials.user = value;
        else if (key == "password")
            credentials.password = value;
        else if (key == "domain" || key == "workgroup")
            credentials.domain = value;
    }
    if (const std::size_t slash = credentials.user.find('\\'); slash != std::string::npos) {
        credentials.domain = credentials.user.substr(0, slash);
        credentials.user.erase(0, slash + 1);
    }
    if (credentials.user.empty()) {
        error = "The credentials file " + path + " names no user (username=...)";
        return std::nullopt;
    }
    return credentials;
}

} // namespace velmora::smb
