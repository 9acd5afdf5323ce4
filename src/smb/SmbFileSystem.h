#pragma once

#include "platform/FileSystem.h"
#include "remote/RemoteAddress.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::smb {

// Who logs in to a share. The password lives in memory only.
struct SmbCredentials {
    std::string user;
    std::string domain; // the domain or workgroup; empty: the server's own
    std::string password;
};

// How to reach one server's shares.
struct SmbLogin {
    remote::RemoteAddress address;             // the user in the address, if any, is the one asked for
    std::optional<SmbCredentials> credentials; // none: a guest, unless the server asks for more
    long timeoutSeconds = 30;
    // Asked when the server refuses the credentials given (or a guest): new ones, or nothing.
    std::function<std::optional<SmbCredentials>(const std::string& share)> askCredentials;
    // Told, when set, whether the server took the credentials askCredentials gave last (not told
    // when the connection failed for another reason).
    std::function<void(bool accepted)> credentialsAnswered;
};

class SmbConnection;

// One share a server offers, as the Network node shows it.
struct ShareInfo {
    std::string name;
    std::string comment;
};

// The servers the local network announces, workgroup by workgroup, where the network still offers
// such browsing (it needs NetBIOS, which many networks have switched off): 0 or errno.
int browseServers(long timeoutSeconds, std::vector<std::string>& out);

// The file shares of a server (printers and the hidden administrative shares left out), listed
// with the login given: 0 or errno.
int listShares(const SmbLogin& login, std::vector<ShareInfo>& out);

// The shares of one server reached through libsmbclient, paths "/share/folder/name". Names are
// matched without regard to letter case, as the share does; the DOS read-only attribute stands for
// the write bits. Every call gives up after the timeout; none waits for a server that is gone.
class SmbFileSystem final : public platform::FileSystem {
public:
    // Connects and logs in to the location's share: nullptr with `error` saying why.
    // A location without a share logs in to the server alone.
    static std::unique_ptr<SmbFileSystem> connect(const SmbLogin& login, std::string& error);
    ~SmbFileSystem() override;

    // Logs in to the share of a path ("/share/..."; "/" for the server) where the login so far is
    // refused, asking for other credentials as `how` says: "" once in, otherwise why not.
    std::string logIn(const std::string& path, const SmbLogin& how);
    // The server's file shares, as listShares gives them, with this connection's login.
    int listShares(std::vector<ShareInfo>& out);

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
    bool foldsCase(const std::string&) override { return true; }
    int resolveLocation(const std::string& path, std::string& real,
                        platform::FileIdentity& identity) override;

private:
    explicit SmbFileSystem(std::unique_ptr<SmbConnection> connection);
    std::unique_ptr<SmbConnection> connection_;
};

} // namespace velmora::smb
