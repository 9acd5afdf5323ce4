#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {

// The folders this machine shares, read from Samba's user shares, smb.conf and the NFS exports.
// Each parser takes a file's text and answers the local folder paths it names, in file order.

// One Samba user-share file: its "path=" line.
std::vector<std::string> parseUserShare(std::string_view text);
// smb.conf: the "path" (or "directory") of every section but [global].
std::vector<std::string> parseSambaConfig(std::string_view text);
// /etc/exports: the folder at the start of each entry (quoted or with \040 escapes).
std::vector<std::string> parseExports(std::string_view text);

struct ShareSources {
    std::string userShareFolder = "/var/lib/samba/usershares";
    std::string sambaConfig = "/etc/samba/smb.conf";
    std::string exports = "/etc/exports";
};

// Every shared folder from the three sources, without a trailing '/' (except "/" itself). Missing
// or unreadable files add nothing.
std::vector<std::string> sharedFolders(const ShareSources& sources = {});

} // namespace velmora::platform
