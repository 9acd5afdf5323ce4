#pragma once

#include "platform/FileSystem.h"
#include "remote/RemoteAddress.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velmora::sftp {

// How to reach and log in to one server, as ssh(1) would: the ssh agent, the user's keys and
// ~/.ssh/config, host keys checked against known_hosts; then a password if one is asked for.
struct SftpLogin {
    remote::RemoteAddress address;
    std::string sshFolder;    // the keys, known_hosts and config; empty: ~/.ssh
    std::string identityFile; // one more key to try; empty: none
    long timeoutSeconds = 30; // connecting, and every request to the server
    bool acceptNewHostKey = false;
    int sessions = 1; // opened at once; more are opened while file commands run side by side
    // Asked when the server's key is not known yet (the host and the key's fingerprint): true to
    // trust it and remember it in known_hosts. Absent: an unknown key is refused.
    std::function<bool(const std::string& host, const std::string& fingerprint)> trustNewHostKey;
    // Asked when no key got in: the password, or nothing to give up. Asked again, up to three
    // times in all as ssh(1) does, while the server refuses the answers.
    std::function<std::optional<std::string>(const std::string& prompt)> askPassword;
    // Told, when set, whether the server took the password askPassword gave last (not told when
    // the connection failed for another reason).
    std::function<void(bool accepted)> passwordAnswered;
};

class SftpConnection;
class SessionLease;
class ListingReadAhead;

// A folder tree on another machine reached over SFTP. Paths are the server's: absolute, or
// "/~" and "/~/..." for the login's home folder. Every call fails, never hangs, when the server
// stops answering (after the timeout) or the connection drops (kConnectionLost); a dropped
// connection is opened again once, for the calls that follow.
class SftpFileSystem final : public platform::FileSystem {
public:
    // Connects and logs in; nullptr with `error` saying why ("Could not connect to backup: ...").
    static std::unique_ptr<SftpFileSystem> connect(const SftpLogin& login, std::string& error);
    ~SftpFileSystem() override;

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
    // Names are told apart by their bytes, as the server's POSIX file system does.
    bool foldsCase(const std::string&) override { return false; }
    int resolveLocation(const std::string& path, std::string& real,
                        platform::FileIdentity& identity) override;

private:
    explicit SftpFileSystem(std::unique_ptr<SftpConnection> connection);
    int readWith(SessionLease& session, const std::string& path, platform::FileStamp& stamp,
                 const platform::ByteSink& sink, platform::CommandGate* gate);
    int writeWith(SessionLease& session, const std::string& target, const platform::ByteFill& fill,
                  bool failIfExists, platform::CommandGate* gate, bool allowReadOnly,
                  const platform::SeenTarget* seen);
    std::shared_ptr<SftpConnection> connection_;
    std::shared_ptr<ListingReadAhead> readAhead_;
};

} // namespace velmora::sftp
