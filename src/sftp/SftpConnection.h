#pragma once

#include "sftp/SftpFileSystem.h"

#include <condition_variable>
#include <libssh/libssh.h>
#include <libssh/sftp.h>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace velmora::sftp {

// One logged-in ssh connection with its SFTP channel. libssh lets only one thread at a time use a
// session: whoever holds it through a SessionLease has it alone.
struct SftpSession {
    ssh_session ssh = nullptr;
    sftp_session sftp = nullptr;
    bool lost = false; // the transport failed: a new connection is needed
    ~SftpSession();
};

class SftpConnection;

// A session taken from the connection's pool for one call, returned when it goes.
class SessionLease {
public:
    SessionLease(SftpConnection& connection, SftpSession* session)
        : connection_(connection), session_(session) {}
    ~SessionLease();
    SessionLease(const SessionLease&) = delete;
    SessionLease& operator=(const SessionLease&) = delete;
    SftpSession* operator->() const { return session_; }
    SftpSession& operator*() const { return *session_; }
    // The errno value for the last failed call on this session; marks it lost when the transport failed.
    int error() const;

private:
    SftpConnection& connection_;
    SftpSession* session_;
};

// The sessions of one server, opened with one login. The password, when one was needed, stays in
// memory only, for a session opened again after a dropped connection.
class SftpConnection {
public:
    static std::unique_ptr<SftpConnection> open(const SftpLogin& login, std::string& error);

    // A free session, or one more opened for the call; when the server takes no more, waits for
    // one. One whose connection was lost is opened again first (once per loss, without asking
    // anyone: a failure leaves it lost and the call fails).
    SessionLease lease();
    // The login's home folder, for "/~" paths.
    const std::string& home() const { return home_; }
    const std::string& host() const { return login_.address.host; }
    // The server path of a location path: "/~" and "/~/x" are under the home folder.
    std::string serverPath(const std::string& path) const;

private:
    friend class SessionLease;
    explicit SftpConnection(SftpLogin login) : login_(std::move(login)) {}
    std::unique_ptr<SftpSession> connectOne(bool mayAsk, std::string& error);
    void giveBack(SftpSession* session);

    SftpLogin login_;
    std::optional<std::string> password_;
    std::string home_;
    std::mutex mutex_;
    std::condition_variable freed_;
    std::vector<std::unique_ptr<SftpSession>> sessions_;
    std::vector<SftpSession*> free_;
    std::size_t opening_ = 0;                        // sessions being opened for a lease
    bool cannotGrow_ = false;                        // the server refused one more
    static constexpr std::size_t kMostSessions = 32; // the most file commands a run has in flight
};

} // namespace velmora::sftp
