#include "support/SshServer.h"

#include "support/Loopback.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace velmora::test {

namespace {

constexpr const char* sshdProgram = "/usr/sbin/sshd";

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

int runShell(const std::string& command) {
    const int status = std::system(command.c_str());
    if (status == -1 || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

SshServer::~SshServer() {
    stop();
    if (!folder_.empty())
        runShell("rm -rf '" + folder_ + "'");
}

bool SshServer::fail(std::string why) {
    whyNot_ = std::move(why);
    stop();
    return false;
}

bool SshServer::start() {
    if (::access(sshdProgram, X_OK) != 0)
        return fail("no OpenSSH server at /usr/sbin/sshd (install openssh-server)");
    char pattern[] = "/tmp/velmora-sshd-XXXXXX";
    if (::mkdtemp(pattern) == nullptr)
        return fail("cannot make a temporary folder");
    folder_ = pattern;
    // sshd refuses keys in a folder others can write to; mkdtemp already gives 0700.
    if (runShell("ssh-keygen -q -t ed25519 -N '' -f '" + folder_ +
                 "/host_key' && ssh-keygen -q -t ed25519 -N '' -f '" + folder_ + "/user_key' && cp '" +
                 folder_ + "/user_key.pub' '" + folder_ + "/authorized_keys'") != 0)
        return fail("ssh-keygen could not make the keys");
    // Privilege separation needs this folder when sshd runs as root.
    ::mkdir("/run/sshd", 0755);
    port_ = freeLoopbackPort();
    if (port_ == 0)
        return fail("no free loopback port");
    {
        std::ofstream config(folder_ + "/sshd_config");
        config << "Port " << port_ << "\n"
               << "ListenAddress 127.0.0.1\n"
               << "HostKey " << folder_ << "/host_key\n"
               << "PidFile " << folder_ << "/sshd.pid\n"
               << "AuthorizedKeysFile " << folder_ << "/authorized_keys\n"
               << (passwords_ ? "PasswordAuthentication yes\n" : "PasswordAuthentication no\n")
               << "KbdInteractiveAuthentication no\n"
               << "PubkeyAuthentication yes\n"
               // CI runs as root: a key, never a password, unless a test wants a password refused.
               << (passwords_ ? "PermitRootLogin yes\n" : "PermitRootLogin prohibit-password\n")
               << "StrictModes no\n"
               << "UsePAM no\n"
               << "Subsystem sftp internal-sftp\n"
               << "LogLevel ERROR\n";
        if (!config)
            return fail("cannot write sshd_config");
    }
    pid_ = ::fork();
    if (pid_ < 0)
        return fail("fork failed");
    if (pid_ == 0) {
        // Its own process group, so that pause() and kill() reach the sessions it forks too.
        ::setpgid(0, 0);
        const std::string config = folder_ + "/sshd_config";
        const std::string log = folder_ + "/sshd.log";
        ::execl(sshdProgram, sshdProgram, "-D", "-f", config.c_str(), "-E", log.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::setpgid(pid_, pid_);
    for (int i = 0; i < 100; ++i) {
        if (accepts(port_))
            return true;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return fail("sshd exited at start: " + readFile(folder_ + "/sshd.log"));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return fail("sshd did not accept connections within 5 seconds: " + readFile(folder_ + "/sshd.log"));
}

namespace {

// Every process below `root`: sshd puts each connection in a session of its own (setsid), so
// the listener's process group does not reach them.
std::vector<pid_t> descendantsOf(pid_t root) {
    std::vector<std::pair<pid_t, pid_t>> parents; // (pid, parent)
    if (DIR* proc = ::opendir("/proc")) {
        while (const dirent* entry = ::readdir(proc)) {
            const pid_t pid = std::atoi(entry->d_name);
            if (pid <= 0)
                continue;
            std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
            std::string line;
            std::getline(stat, line);
            const std::size_t close = line.rfind(')');
            if (close == std::string::npos)
                continue;
            std::istringstream rest(line.substr(close + 2));
            char state = 0;
            pid_t parent = 0;
            rest >> state >> parent;
            parents.emplace_back(pid, parent);
        }
        ::closedir(proc);
    }
    std::vector<pid_t> found{root};
    for (std::size_t i = 0; i < found.size(); ++i)
        for (const auto& [pid, parent] : parents)
            if (parent == found[i])
                found.push_back(pid);
    found.erase(found.begin());
    return found;
}

} // namespace

void SshServer::signalAll(int signal) {
    if (pid_ <= 0)
        return;
    const std::vector<pid_t> sessions = descendantsOf(pid_);
    ::kill(-pid_, signal);
    for (const pid_t pid : sessions)
        ::kill(pid, signal);
}

void SshServer::pause() {
    signalAll(SIGSTOP);
}

void SshServer::resume() {
    signalAll(SIGCONT);
}

void SshServer::kill() {
    if (pid_ <= 0)
        return;
    signalAll(SIGCONT);
    signalAll(SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

void SshServer::stop() {
    if (pid_ <= 0)
        return;
    signalAll(SIGCONT);
    signalAll(SIGTERM);
    for (int i = 0; i < 40; ++i) {
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill();
}

std::string SshServer::knownHostsLine() const {
    std::string key = readFile(hostPublicKey());
    while (!key.empty() && (key.back() == '\n' || key.back() == '\r'))
        key.pop_back();
    // Drop the comment: "type base64 comment".
    const auto first = key.find(' ');
    const auto second = first == std::string::npos ? std::string::npos : key.find(' ', first + 1);
    if (second != std::string::npos)
        key.resize(second);
    return "[127.0.0.1]:" + std::to_string(port_) + " " + key;
}

std::string SshServer::sshOptions() const {
    std::ofstream(folder_ + "/known_hosts") << knownHostsLine() << "\n";
    return "-F /dev/null -o BatchMode=yes -o IdentitiesOnly=yes -o UserKnownHostsFile='" + folder_ +
           "/known_hosts' -o StrictHostKeyChecking=yes -o ConnectTimeout=5 -i '" + userKey() +
           "' -o Port=" + std::to_string(port_);
}

} // namespace velmora::test
