#include "remote/RemoteAddress.h"

#include <charconv>

namespace velmora::remote {

namespace {

constexpr std::string_view kSftp = "sftp://";
constexpr std::string_view kSmb = "smb://";

bool startsWithFolded(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

RemoteAddressResult refuse(std::string message) {
    RemoteAddressResult result;
    result.error = std::move(message);
    return result;
}

bool hasControlCharacter(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return true;
    }
    return false;
}

// Collapses doubled separators and drops "." parts; ".." is refused by the caller, since a
// location that climbs out of the folder it names is never what was meant.
std::string tidyPath(std::string_view path) {
    std::string out;
    std::size_t i = 0;
    while (i < path.size()) {
        const std::size_t next = path.find('/', i);
        const std::string_view part =
            path.substr(i, next == std::string_view::npos ? std::string_view::npos : next - i);
        if (!part.empty() && part != ".") {
            out += '/';
            out += part;
        }
        if (next == std::string_view::npos)
            break;
        i = next + 1;
    }
    return out;
}

bool climbsOut(std::string_view path) {
    std::size_t i = 0;
    while (i <= path.size()) {
        const std::size_t next = path.find('/', i);
        const std::size_t end = next == std::string_view::npos ? path.size() : next;
        if (path.substr(i, end - i) == "..")
            return true;
        if (next == std::string_view::npos)
            break;
        i = next + 1;
    }
    return false;
}

} // namespace

bool isRemoteLocation(std::string_view text) {
    return startsWithFolded(text, kSftp) || startsWithFolded(text, kSmb);
}

RemoteAddressResult parseRemoteAddress(std::string_view text) {
    if (!isRemoteLocation(text))
        return refuse("A remote location starts with sftp:// or smb://");
    if (hasControlCharacter(text))
        return refuse("A remote location cannot hold control characters");
    const bool smb = startsWithFolded(text, kSmb);
    std::string_view rest = text.substr(smb ? kSmb.size() : kSftp.size());
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos)
        return refuse("A remote location needs a path after the host, such as sftp://host/folder/");
    std::string_view authority = rest.substr(0, slash);
    const std::string_view path = rest.substr(slash);

    RemoteAddress address;
    if (smb)
        address.scheme = "smb";
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view user = authority.substr(0, at);
        if (user.find(':') != std::string_view::npos)
            return refuse(smb ? "Passwords are never stored: remove the password from the remote location "
                                "and use a credentials file or the password prompt"
                              : "Passwords are never stored: remove the password from the remote location "
                                "and use a key, the ssh agent or the password prompt");
        if (user.empty())
            return refuse("The user name before '@' is empty");
        address.user = std::string(user);
        authority = authority.substr(at + 1);
    }

    std::string_view port;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos)
            return refuse("The IPv6 address has no closing ']'");
        address.host = std::string(authority.substr(1, close - 1));
        const std::string_view after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':')
                return refuse("Unexpected text after the IPv6 address");
            port = after.substr(1);
            if (port.empty())
                return refuse("The port after ':' is empty");
        }
    } else {
        const std::size_t colon = authority.find(':');
        address.host = std::string(authority.substr(0, colon));
        if (colon != std::string_view::npos) {
            port = authority.substr(colon + 1);
            if (port.empty())
                return refuse("The port after ':' is empty");
        }
    }
    if (address.host.empty())
        return refuse("A remote location needs a host name");
    if (!port.empty()) {
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (ec != std::errc() || end != port.data() + port.size() || value == 0 || value > 65535)
            return refuse("The port must be a number from 1 to 65535");
        address.port = static_cast<std::uint16_t>(value);
    }

    std::string_view folder = path;
    if (!smb && (folder == "/~" || folder.starts_with("/~/"))) {
        address.underHome = true;
        folder = folder.substr(2);
    }
    if (climbsOut(folder))
        return refuse("A remote location cannot contain '..'");
    address.path = tidyPath(folder);
    if (address.underHome && !address.path.empty())
        address.path.erase(0, 1);
    if (!address.underHome && address.path.empty())
        address.path = "/";

    RemoteAddressResult result;
    result.address = std::move(address);
    return result;
}

std::string formatRemoteAddress(const RemoteAddress& address) {
    std::string out = address.scheme + "://";
    if (!address.user.empty())
        out += address.user + '@';
    if (address.host.find(':') != std::string::npos)
        out += '[' + address.host + ']';
    else
        out += address.host;
    if (address.port != 0)
        out += ':' + std::to_string(address.port);
    if (address.underHome) {
        out += "/~/";
        if (!address.path.empty())
            out += address.path + '/';
    } else {
        out += address.path;
        if (out.back() != '/')
            out += '/';
    }
    return out;
}

} // namespace velmora::remote
