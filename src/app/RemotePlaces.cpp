#include "app/RemotePlaces.h"

#include "items/TidyPath.h"
#include "remote/RemoteAddress.h"
#include "remote/RoutingFileSystem.h"

#include <algorithm>

namespace velmora {

RemoteServerPlace remoteServerPlace(std::string_view server) {
    RemoteServerPlace place;
    place.server = std::string(server);
    const std::size_t hostStart = server.find("://");
    place.caption = std::string(hostStart == std::string_view::npos ? server : server.substr(hostStart + 3));
    const auto parsed = remote::parseRemoteAddress(std::string(server) + "/");
    place.hasShares = parsed.address && parsed.address->scheme == "smb";
    return place;
}

std::vector<RemoteServerPlace> remoteServersOf(const std::vector<std::string>& locations) {
    std::vector<RemoteServerPlace> places;
    for (const std::string& location : locations) {
        const remote::RemoteAddressResult parsed = remote::parseRemoteAddress(tidyLocation(location));
        if (!parsed.address)
            continue;
        const std::string server = remote::serverPart(remote::formatRemoteAddress(*parsed.address));
        if (std::none_of(places.begin(), places.end(),
                         [&](const RemoteServerPlace& place) { return place.server == server; }))
            places.push_back(remoteServerPlace(server));
    }
    return places;
}

ConnectTarget connectTarget(std::string_view typed) {
    while (!typed.empty() && typed.front() == ' ')
        typed.remove_prefix(1);
    while (!typed.empty() && typed.back() == ' ')
        typed.remove_suffix(1);
    ConnectTarget target;
    const bool windowsName = typed.starts_with("\\\\");
    if (!windowsName && !remote::isRemoteLocation(typed)) {
        target.error = "Type the server as sftp://user@host:port, smb://server or \\\\server";
        return target;
    }
    // "sftp://host" and "smb://server" name a server without a folder: tidied, they name its top.
    const remote::RemoteAddressResult parsed = remote::parseRemoteAddress(tidyLocation(typed));
    if (!parsed.address) {
        target.error = parsed.error;
        return target;
    }
    remote::RemoteAddress address = *parsed.address;
    // A login lands in its home folder, as ssh does; "/" is beside it in the tree.
    if (address.scheme == "sftp" && !address.underHome && address.path == "/") {
        address.underHome = true;
        address.path.clear();
    }
    target.location = remote::formatRemoteAddress(address);
    return target;
}

bool remoteTreePath(std::string_view location, RemoteTreePath& out) {
    const remote::RemoteAddressResult parsed = remote::parseRemoteAddress(tidyLocation(location));
    if (!parsed.address)
        return false;
    const remote::RemoteAddress& address = *parsed.address;
    out = {};
    out.server = remote::serverPart(remote::formatRemoteAddress(address));
    std::string_view rest = address.path;
    if (address.scheme == "smb") {
        if (rest.size() < 2)
            return true; // the server itself
    } else {
        out.top = address.underHome ? "~" : "/";
    }
    std::size_t start = 0;
    while (start < rest.size()) {
        std::size_t end = rest.find('/', start);
        if (end == std::string_view::npos)
            end = rest.size();
        if (end > start) {
            const std::string part(rest.substr(start, end - start));
            if (out.top.empty())
                out.top = part;
            else
                out.folders.push_back(part);
        }
        start = end + 1;
    }
    return true;
}

} // namespace velmora
