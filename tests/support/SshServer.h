#pragma once

#include <string>
#include <sys/types.h>

namespace velmora::test {

// A private OpenSSH server on a loopback port, for the remote-location tests: its own host key,
// one user key (for the user running the tests, root included) and its own configuration, all in
// a temporary folder that goes with it. Nothing of the machine's ssh setup is read or changed.
class SshServer {
public:
    SshServer() = default;
    ~SshServer();
    SshServer(const SshServer&) = delete;
    SshServer& operator=(const SshServer&) = delete;

    // Starts the server and waits until it accepts connections. On failure returns false and
    // whyNot() says why, for GTEST_SKIP: a machine without sshd skips, it never passes silently.
    bool start();
    void stop();
    // Before start(): password logins are taken too (refused, since no test knows the password).
    void acceptPasswords() { passwords_ = true; }

    // SIGSTOP / SIGCONT to every process of the server (the listener and every session below it), to stand
    // for a server that stops answering; kill() for one that goes away.
    void pause();
    void resume();
    void kill();

    const std::string& whyNot() const { return whyNot_; }
    int port() const { return port_; }
    const std::string& folder() const { return folder_; }
    std::string userKey() const { return folder_ + "/user_key"; }
    std::string hostPublicKey() const { return folder_ + "/host_key.pub"; }
    // A known_hosts file line that trusts this server's host key.
    std::string knownHostsLine() const;
    // ssh(1) options that reach this server with the user key and its host key trusted.
    std::string sshOptions() const;

private:
    bool fail(std::string why);
    void signalAll(int signal);

    std::string folder_;
    std::string whyNot_;
    pid_t pid_ = -1;
    int port_ = 0;
    bool passwords_ = false;
};

// Runs a shell command, returning its exit status (-1 when it could not run).
int runShell(const std::string& command);

} // namespace velmora::test
