#include "sftp/SftpConnection.h"

#include "platform/ErrorText.h"

#include <cerrno>

namespace velmora::sftp {
namespace {

std::string sshError(ssh_session ssh) {
    const char* text = ssh_get_error(ssh);
    return text != nullptr && *text != '\0' ? text : "reason not known";
}

std::string fingerprintOf(ssh_session ssh) {
    ssh_key key = nullptr;
    if (ssh_get_server_publickey(ssh, &key) != SSH_OK)
        return "(not known)";
    unsigned char* hash = nullptr;
    std::size_t length = 0;
    std::string text = "(not known)";
    if (ssh_get_publickey_hash(key, SSH_PUBLICKEY_HASH_SHA256, &hash, &length) == 0) {
        if (char* printed = ssh_get_fingerprint_hash(SSH_PUBLICKEY_HASH_SHA256, hash, length)) {
            text = printed;
            ssh_string_free_char(printed);
        }
        ssh_clean_pubkey_hash(&hash);
    }
    ssh_key_free(key);
    return text;
}

} // namespace

SftpSession::~SftpSession() {
    if (sftp != nullptr)
        sftp_free(sftp);
    if (ssh != nullptr) {
        ssh_disconnect(ssh);
        ssh_free(ssh);
    }
}

SessionLease::~SessionLease() {
    connection_.giveBack(session_);
}

int SessionLease::error() const {
    // A closed transport first: the SFTP status kept from an earlier answer says nothing then.
    const bool closed = session_->ssh == nullptr || ssh_is_connected(session_->ssh) == 0 ||
                        (ssh_get_status(session_->ssh) & (SSH_CLOSED | SSH_CLOSED_ERROR)) != 0;
    const int code =
        !closed && session_->sftp != nullptr ? sftp_get_error(session_->sftp) : SSH_FX_CONNECTION_LOST;
    switch (code) {
    case SSH_FX_NO_SUCH_FILE:
    case SSH_FX_NO_SUCH_PATH:
        return ENOENT;
    case SSH_FX_PERMISSION_DENIED:
    case SSH_FX_WRITE_PROTECT:
        return EACCES;
    case SSH_FX_FILE_ALREADY_EXISTS:
        return EEXIST;
    case SSH_FX_OP_UNSUPPORTED:
        return ENOTSUP;
    case SSH_FX_FAILURE:
        return platform::kServerRefused;
    default:
        // No status from the server: the request never got an answer (a timeout or a dropped
        // connection), and the session cannot tell which reply belongs to which request any more.
        session_->lost = true;
        return platform::kConnectionLost;
    }
}

std::unique_ptr<SftpConnection> SftpConnection::open(const SftpLogin& login, std::string& error) {
    std::unique_ptr<SftpConnection> connection(new SftpConnection(login));
    const int count = std::max(1, login.sessions);
    for (int i = 0; i < count; ++i) {
        std::unique_ptr<SftpSession> session = connection->connectOne(i == 0, error);
        if (!session)
            return nullptr;
        if (i == 0) {
            char* home = sftp_canonicalize_path(session->sftp, ".");
            if (home == nullptr) {
                error = "Could not find the home folder on " + login.address.host;
                return nullptr;
            }
            connection->home_ = home;
            ssh_string_free_char(home);
        }
        connection->free_.push_back(session.get());
        connection->sessions_.push_back(std::move(session));
    }
    return connection;
}

std::unique_ptr<SftpSession> SftpConnection::connectOne(bool mayAsk, std::string& error) {
    const remote::RemoteAddress& address = login_.address;
    auto session = std::make_unique<SftpSession>();
    session->ssh = ssh_new();
    if (session->ssh == nullptr) {
        error = "Could not start an ssh session";
        return nullptr;
    }
    ssh_session ssh = session->ssh;
    const std::string where = "Could not connect to " + address.host + ": ";
    ssh_options_set(ssh, SSH_OPTIONS_HOST, address.host.c_str());
    if (!login_.sshFolder.empty()) {
        ssh_options_set(ssh, SSH_OPTIONS_SSH_DIR, login_.sshFolder.c_str());
        const std::string knownHosts = login_.sshFolder + "/known_hosts";
        ssh_options_set(ssh, SSH_OPTIONS_KNOWNHOSTS, knownHosts.c_str());
    }
    // ~/.ssh/config may give the host another name, user or port; what the address says wins.
    ssh_options_parse_config(ssh,
                             login_.sshFolder.empty() ? nullptr : (login_.sshFolder + "/config").c_str());
    if (!address.user.empty())
        ssh_options_set(ssh, SSH_OPTIONS_USER, address.user.c_str());
    if (address.port != 0) {
        const unsigned int port = address.port;
        ssh_options_set(ssh, SSH_OPTIONS_PORT, &port);
    }
    if (!login_.identityFile.empty())
        ssh_options_set(ssh, SSH_OPTIONS_ADD_IDENTITY, login_.identityFile.c_str());
    // Every SFTP request waits for its answer: small packets must leave at once, not after a delayed ACK.
    const int noDelay = 1;
    ssh_options_set(ssh, SSH_OPTIONS_NODELAY, &noDelay);
    const long timeout = login_.timeoutSeconds;
    ssh_options_set(ssh, SSH_OPTIONS_TIMEOUT, &timeout);

    if (ssh_connect(ssh) != SSH_OK) {
        error = where + sshError(ssh);
        return nullptr;
    }
    switch (ssh_session_is_known_server(ssh)) {
    case SSH_KNOWN_HOSTS_OK:
        break;
    case SSH_KNOWN_HOSTS_CHANGED:
    case SSH_KNOWN_HOSTS_OTHER:
        error = "The host key of " + address.host + " has changed since it was last trusted (it is now " +
                fingerprintOf(ssh) +
                "). Someone may be listening in; if the server was set up again, remove its old key from "
                "known_hosts. Nothing was done.";
        return nullptr;
    case SSH_KNOWN_HOSTS_NOT_FOUND:
    case SSH_KNOWN_HOSTS_UNKNOWN: {
        const std::string fingerprint = fingerprintOf(ssh);
        const bool trusted = login_.acceptNewHostKey || (mayAsk && login_.trustNewHostKey &&
                                                         login_.trustNewHostKey(address.host, fingerprint));
        if (!trusted) {
            error = "The host key of " + address.host + " is not known (" + fingerprint +
                    "). Connect once where you can confirm it, or accept it when asked.";
            return nullptr;
        }
        if (ssh_session_update_known_hosts(ssh) != SSH_OK) {
            error = where + "could not remember its host key: " + sshError(ssh);
            return nullptr;
        }
        break;
    }
    default:
        error = where + "could not check its host key: " + sshError(ssh);
        return nullptr;
    }

    int auth = ssh_userauth_none(ssh, nullptr);
    if (auth != SSH_AUTH_SUCCESS)
        auth = ssh_userauth_publickey_auto(ssh, nullptr, nullptr);
    if (auth != SSH_AUTH_SUCCESS && password_)
        auth = ssh_userauth_password(ssh, nullptr, password_->c_str());
    // A refused password is asked again while the server still listens (denied, not an error),
    // up to three times as ssh(1) does; a server that takes no passwords is never asked one.
    const bool takesPasswords =
        (static_cast<unsigned>(ssh_userauth_list(ssh, nullptr)) & SSH_AUTH_METHOD_PASSWORD) != 0;
    for (int asked = 0; takesPasswords && mayAsk && login_.askPassword && asked < 3 &&
                        (auth == SSH_AUTH_DENIED || (asked == 0 && auth == SSH_AUTH_PARTIAL));
         ++asked) {
        const std::string user = address.user.empty() ? std::string() : address.user + "@";
        password_ = login_.askPassword("Password for " + user + address.host + ": ");
        if (!password_)
            break;
        auth = ssh_userauth_password(ssh, nullptr, password_->c_str());
        if (login_.passwordAnswered && auth != SSH_AUTH_ERROR)
            login_.passwordAnswered(auth != SSH_AUTH_DENIED);
    }
    if (auth != SSH_AUTH_SUCCESS) {
        password_.reset();
        error = where + "the server did not accept the login (" + sshError(ssh) + ")";
        return nullptr;
    }

    session->sftp = sftp_new(ssh);
    if (session->sftp == nullptr || sftp_init(session->sftp) != SSH_OK) {
        error = where + "the server offers no SFTP (" + sshError(ssh) + ")";
        return nullptr;
    }
    return session;
}

SessionLease SftpConnection::lease() {
    std::unique_lock lock(mutex_);
    // A command waiting here makes no progress, and its timeout counts: rather than wait for a
    // session, open one more, up to one per command the run may have in flight.
    if (free_.empty() && !cannotGrow_ && sessions_.size() + opening_ < kMostSessions) {
        ++opening_;
        lock.unlock();
        std::string ignored;
        std::unique_ptr<SftpSession> added = connectOne(false, ignored);
        lock.lock();
        --opening_;
        if (added) {
            SftpSession* session = added.get();
            sessions_.push_back(std::move(added));
            return SessionLease(*this, session);
        }
        cannotGrow_ = true; // the server takes no more connections: share the ones there are
    }
    freed_.wait(lock, [this] { return !free_.empty(); });
    SftpSession* session = free_.back();
    free_.pop_back();
    if (!session->lost)
        return SessionLease(*this, session);
    lock.unlock();
    // Opened again once: a server that went away for good fails every later call at once.
    std::string ignored;
    std::unique_ptr<SftpSession> fresh = session->ssh != nullptr ? connectOne(false, ignored) : nullptr;
    lock.lock();
    for (std::unique_ptr<SftpSession>& owned : sessions_) {
        if (owned.get() != session)
            continue;
        if (fresh) {
            owned = std::move(fresh);
        } else {
            // Kept as a marker of a lost connection that is not tried again.
            auto marker = std::make_unique<SftpSession>();
            marker->lost = true;
            owned = std::move(marker);
        }
        session = owned.get();
    }
    return SessionLease(*this, session);
}

void SftpConnection::giveBack(SftpSession* session) {
    {
        std::lock_guard lock(mutex_);
        free_.push_back(session);
    }
    freed_.notify_one();
}

std::string SftpConnection::serverPath(const std::string& path) const {
    if (path == "/~" || path == "/~/")
        return home_;
    if (path.rfind("/~/", 0) == 0)
        return home_ + path.substr(2);
    return path;
}

} // namespace velmora::sftp
