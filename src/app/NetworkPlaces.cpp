#include "app/NetworkPlaces.h"

#include <algorithm>

namespace velmora {
namespace {

// The value of "key=" in a comma-separated list of key=value pairs.
std::string valueOfKey(std::string_view pairs, std::string_view key) {
    while (!pairs.empty()) {
        const std::size_t comma = std::min(pairs.find(','), pairs.size());
        const std::string_view pair = pairs.substr(0, comma);
        if (pair.size() > key.size() && pair.starts_with(key) && pair[key.size()] == '=')
            return std::string(pair.substr(key.size() + 1));
        pairs.remove_prefix(std::min(comma + 1, pairs.size()));
    }
    return {};
}

void addPlace(std::vector<NetworkServer>& servers, ServerAndShare place, std::string mountPoint) {
    auto server = std::find_if(servers.begin(), servers.end(),
                               [&](const NetworkServer& known) { return known.name == place.server; });
    if (server == servers.end()) {
        servers.push_back({place.server, {}});
        server = servers.end() - 1;
    }
    server->shares.push_back({std::move(place.share), std::move(mountPoint)});
}

} // namespace

bool serverAndShareOfSource(std::string_view source, ServerAndShare& out) {
    if (source.starts_with("//")) {
        source.remove_prefix(2);
        const std::size_t slash = source.find('/');
        if (slash == 0 || slash == std::string_view::npos || slash + 1 == source.size())
            return false;
        out = {std::string(source.substr(0, slash)), std::string(source.substr(slash + 1))};
        return true;
    }
    const std::size_t colon = source.find(':');
    if (colon == 0 || colon == std::string_view::npos || source.find('/') < colon)
        return false;
    std::string_view server = source.substr(0, colon);
    if (const std::size_t at = server.rfind('@'); at != std::string_view::npos)
        server.remove_prefix(at + 1);
    std::string_view share = source.substr(colon + 1);
    if (server.empty())
        return false;
    out = {std::string(server), share.empty() ? std::string("/") : std::string(share)};
    return true;
}

bool serverAndShareOfGvfsName(std::string_view name, ServerAndShare& out) {
    const std::size_t colon = name.find(':');
    if (colon == 0 || colon == std::string_view::npos)
        return false;
    const std::string_view scheme = name.substr(0, colon);
    const std::string_view pairs = name.substr(colon + 1);
    std::string server = valueOfKey(pairs, "server");
    if (server.empty())
        server = valueOfKey(pairs, "host");
    if (server.empty())
        return false;
    std::string share = valueOfKey(pairs, "share");
    if (share.empty())
        share = valueOfKey(pairs, "prefix");
    if (share.empty())
        share = std::string(scheme);
    out = {std::move(server), std::move(share)};
    return true;
}

std::vector<NetworkServer> groupNetworkPlaces(const std::vector<platform::Volume>& volumes,
                                              const std::vector<std::string>& gvfsFolders) {
    std::vector<NetworkServer> servers;
    ServerAndShare place;
    for (const platform::Volume& volume : volumes)
        if (volume.kind == platform::VolumeKind::Network && volume.fsType != "fuse.gvfsd-fuse" &&
            serverAndShareOfSource(volume.source, place))
            addPlace(servers, place, volume.mountPoint);
    for (const std::string& folder : gvfsFolders) {
        const std::string_view name = std::string_view(folder).substr(folder.rfind('/') + 1);
        if (serverAndShareOfGvfsName(name, place))
            addPlace(servers, place, folder);
    }
    return servers;
}

} // namespace velmora
