#include "support/SmbServer.h"

#include "support/Loopback.h"
#include "support/SshServer.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace velmora::test {

namespace {
constexpr const char* smbdProgram = "/usr/sbin/smbd";
constexpr const char* password = "velmora-test-1";
} // namespace

SmbServer::~SmbServer() {
    stop();
    if (!folder_.empty())
        runShell("rm -rf '" + folder_ + "'");
}

bool SmbServer::fail(std::string why) {
    whyNot_ = std::move(why);
    stop();
    return false;
}

std::string SmbServer::shareUrl() const {
    return "smb://127.0.0.1:" + std::to_string(port_) + "/data";
}

bool SmbServer::start() {
    if (::geteuid() != 0)
        return fail("smbd serves as root here");
    if (::access(smbdProgram, X_OK) != 0 || ::access("/usr/bin/smbpasswd", X_OK) != 0)
        return fail("no Samba server at /usr/sbin/smbd (install samba)");
    char pattern[] = "/tmp/velmora-smbd-XXXXXX";
    if (::mkdtemp(pattern) == nullptr)
        return fail("cannot make a temporary folder");
    folder_ = pattern;
    for (const char* sub :
         {"/private", "/lock", "/state", "/cache", "/pid", "/share", "/client", "/client/.smb"})
        ::mkdir((folder_ + sub).c_str(), 0755);
    ::chmod((folder_ + "/share").c_str(), 0777);
    port_ = freeLoopbackPort();
    if (port_ == 0)
        return fail("no free loopback port");
    {
        std::ofstream config(folder_ + "/smb.conf");
        config << "[global]\n"
               << "  smb ports = " << port_ << "\n"
               << "  interfaces = 127.0.0.1\n  bind interfaces only = yes\n"
               << "  private dir = " << folder_ << "/private\n"
               << "  lock directory = " << folder_ << "/lock\n"
               << "  state directory = " << folder_ << "/state\n"
               << "  cache directory = " << folder_ << "/cache\n"
               << "  pid directory = " << folder_ << "/pid\n"
               << "  ncalrpc dir = " << folder_ << "/ncalrpc\n"
               << "  passdb backend = tdbsam:" << folder_ << "/private/passdb.tdb\n"
               << "  log file = " << folder_ << "/smbd.log\n"
               << "  disable netbios = yes\n  load printers = no\n  printing = bsd\n"
               << "  printcap name = /dev/null\n  disable spoolss = yes\n"
               << "  server role = standalone server\n  map to guest = never\n"
               << "  name resolve order = host\n"
               << "[data]\n  comment = Files of the tests\n  path = " << folder_
               << "/share\n  read only = no\n"
               << "  store dos attributes = yes\n";
        std::ofstream client(folder_ + "/client/.smb/smb.conf");
        client << "[global]\n  name resolve order = host\n  client min protocol = SMB2\n"
               << "  disable netbios = yes\n";
        std::ofstream credentials(folder_ + "/credentials");
        credentials << "username=root\npassword=" << password << "\n";
    }
    ::chmod((folder_ + "/credentials").c_str(), 0600);
    if (runShell("printf '%s\\n%s\\n' " + std::string(password) + " " + password + " | smbpasswd -c '" +
                 folder_ + "/smb.conf' -s -a root >/dev/null 2>&1") != 0)
        return fail("smbpasswd could not add the user");
    pid_ = ::fork();
    if (pid_ < 0)
        return fail("fork failed");
    if (pid_ == 0) {
        ::setpgid(0, 0);
        const std::string config = "--configfile=" + folder_ + "/smb.conf";
        ::execl(smbdProgram, smbdProgram, "--foreground", "--no-process-group", config.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::setpgid(pid_, pid_);
    for (int i = 0; i < 100; ++i) {
        if (accepts(port_))
            return true;
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return fail("smbd exited at start");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return fail("smbd did not accept connections within 5 seconds");
}

void SmbServer::pause() {
    if (pid_ > 0)
        ::kill(-pid_, SIGSTOP);
}

void SmbServer::resume() {
    if (pid_ > 0)
        ::kill(-pid_, SIGCONT);
}

void SmbServer::stop() {
    stopServer();
    // smbd starts its RPC helpers (samba-dcerpcd, for share lists) as daemons of their own: they are
    // found by the configuration they were given ("[/]" keeps the shell running pkill out of it).
    if (!folder_.empty())
        runShell("pkill -KILL -f -- '--configfile=[/]" + folder_.substr(1) + "/smb.conf' >/dev/null 2>&1");
}

void SmbServer::stopServer() {
    if (pid_ <= 0)
        return;
    ::kill(-pid_, SIGCONT);
    ::kill(-pid_, SIGTERM);
    for (int i = 0; i < 40; ++i) {
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(-pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

} // namespace velmora::test
