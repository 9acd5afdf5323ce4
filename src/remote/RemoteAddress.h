#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::remote {

// Where a remote location lives: sftp://[user@]host[:port]/absolute/path/ or
// sftp://[user@]host[:port]/~/path/ (a path under the login's home folder), or a share:
// smb://[user@]server[:port]/share/path/.
struct RemoteAddress {
    std::string user;            // empty: the login name that ssh configuration gives
    std::string host;            // a name, an IPv4 address or an IPv6 address without brackets
    std::uint16_t port = 0;      // 0: the port that ssh configuration gives (22 by default)
    bool underHome = false;      // the path is relative to the login's home folder
    std::string path;            // "/abs/path" or, under home, "path" ("" for home itself)
    std::string scheme = "sftp"; // or "smb": then the path's first part is the share

    bool operator==(const RemoteAddress&) const = default;
};

struct RemoteAddressResult {
    std::optional<RemoteAddress> address;
    std::string error; // why the text is refused, for the problem line; empty when parsed
};

// True when the text names a remote location at all (so that local paths keep their own rules).
bool isRemoteLocation(std::string_view text);

// Reads a remote location. Passwords inside the address are refused rather than dropped: they
// would be kept in settings files and shell histories, and the user must learn they are not used.
RemoteAddressResult parseRemoteAddress(std::string_view text);

// The address written back in its canonical form, always ending with '/'.
std::string formatRemoteAddress(const RemoteAddress& address);

} // namespace velmora::remote
