#pragma once

#include <string>
#include <sys/types.h>

namespace velmora::test {

// A private Samba server (smbd alone) on a loopback port, for the share tests: its own
// configuration, state and password database, one share on a folder of its own and one user
// (root, with a generated password), all in a temporary folder that goes with it. Clients get a
// private client configuration too (clientHome()/.smb/smb.conf: names resolved from addresses only,
// no browsing), so that nothing reaches the real network.
class SmbServer {
public:
    SmbServer() = default;
    ~SmbServer();
    SmbServer(const SmbServer&) = delete;
    SmbServer& operator=(const SmbServer&) = delete;

    // Starts smbd and waits until it accepts connections; on failure whyNot() says why (for
    // GTEST_SKIP: a machine without Samba skips, it never passes silently).
    bool start();
    void stop();
    void pause();
    void resume();

    const std::string& whyNot() const { return whyNot_; }
    int port() const { return port_; }
    // The folder the share "data" serves.
    std::string shareFolder() const { return folder_ + "/share"; }
    // smb://127.0.0.1:PORT/data
    std::string shareUrl() const;
    // A credentials file (mode 0600) with the user and its password.
    std::string credentialsFile() const { return folder_ + "/credentials"; }
    // A HOME whose .smb/smb.conf is the private client configuration.
    std::string clientHome() const { return folder_ + "/client"; }

private:
    bool fail(std::string why);
    void stopServer();

    std::string folder_;
    std::string whyNot_;
    pid_t pid_ = -1;
    int port_ = 0;
};

} // namespace velmora::test
