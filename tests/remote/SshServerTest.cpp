#include "support/SshServer.h"

#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using velmora::test::runShell;
using velmora::test::SshServer;

namespace {

std::string loginName() {
    const char* user = ::getenv("USER");
    return user != nullptr && *user != '\0' ? user : (::geteuid() == 0 ? "root" : "");
}

} // namespace

// The server the remote tests rely on: it takes the generated key, serves sftp, trusts nothing
// else, and goes away when stopped.
TEST(SshServerTest, ServesSftpWithTheGeneratedKeyAndStopsWhenAsked) {
    SshServer server;
    if (!server.start())
        GTEST_SKIP() << "cannot start a private ssh server: " << server.whyNot();
    const std::string target = server.folder() + "/put-here";
    const std::string batch = server.folder() + "/batch";
    std::ofstream(batch) << "put " << server.hostPublicKey() << " " << target << "\n";
    const std::string login = loginName() + "@127.0.0.1";
    EXPECT_EQ(runShell("sftp -b '" + batch + "' " + server.sshOptions() + " " + login + " >/dev/null 2>&1"),
              0);
    EXPECT_EQ(::access(target.c_str(), F_OK), 0);

    // Without the key no login: the server does not fall back to passwords.
    const std::string noKey =
        "ssh -F /dev/null -o BatchMode=yes -o IdentitiesOnly=yes -o IdentityFile=/dev/null "
        "-o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null -o ConnectTimeout=5 -o Port=" +
        std::to_string(server.port()) + " " + login + " true >/dev/null 2>&1";
    EXPECT_NE(runShell(noKey), 0);

    server.stop();
    EXPECT_NE(
        runShell("ssh " + server.sshOptions() + " -o ConnectTimeout=2 " + login + " true >/dev/null 2>&1"),
        0);
}
