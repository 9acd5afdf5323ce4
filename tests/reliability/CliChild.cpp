#include "CliChild.h"

#include "support/ChildEnvironment.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::test {

namespace {

int statusOf(int waitStatus) {
    return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -WTERMSIG(waitStatus);
}

} // namespace

CliChild::CliChild(TempDir& dir, std::vector<std::string> args, long fileSizeLimit)
    : outPath_(dir.at(".cli-out")), errPath_(dir.at(".cli-err")) {
    args.insert(args.begin(), VELMORA_CLI_PATH);
    ChildEnvironment environment(dir.at("config"));
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    // Everything the child needs is ready before the fork: between fork and exec only
    // async-signal-safe calls are allowed in a process that may have other threads.
    pid_ = ::fork();
    if (pid_ < 0)
        throw std::runtime_error("cannot fork");
    if (pid_ == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0)
            ::_exit(126);
        if (fileSizeLimit >= 0) {
            // An ignored signal stays ignored across exec.
            struct sigaction ignore {};
            ignore.sa_handler = SIG_IGN;
            ::sigaction(SIGXFSZ, &ignore, nullptr);
            const struct rlimit limit = {static_cast<rlim_t>(fileSizeLimit),
                                         static_cast<rlim_t>(fileSizeLimit)};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                ::_exit(126);
        }
        ::execve(argv[0], argv.data(), environment.get());
        ::_exit(127);
    }
}

CliChild::~CliChild() {
    if (!ended()) {
        kill(SIGKILL);
        wait();
    }
}

int CliChild::wait() {
    if (!ended_) {
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        status_ = statusOf(status);
        ended_ = true;
    }
    return status_;
}

bool CliChild::ended() {
    if (ended_)
        return true;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = statusOf(status);
        ended_ = true;
    }
    return ended_;
}

bool CliChild::writesUnnamedFileIn(const std::string& folder) const {
    const std::string fds = "/proc/" + std::to_string(pid_) + "/fd/";
    DIR* list = ::opendir(fds.c_str());
    if (list == nullptr)
        return false;
    bool found = false;
    while (const dirent* entry = ::readdir(list)) {
        char text[PATH_MAX];
        const ssize_t length = ::readlink((fds + entry->d_name).c_str(), text, sizeof text - 1);
        if (length <= 0)
            continue;
        const std::string target(text, static_cast<std::size_t>(length));
        found = found || (target.starts_with(folder) && target.ends_with(" (deleted)"));
    }
    ::closedir(list);
    return found;
}

bool CliChild::waitForCopyIn(const std::string& folder, int millis) {
    for (int waited = 0; waited < millis * 10 && !ended(); ++waited) {
        if (writesUnnamedFileIn(folder))
            return true;
        ::usleep(100);
    }
    return false;
}

void CliChild::kill(int signal) {
    if (!ended_)
        ::kill(pid_, signal);
}

} // namespace velmora::test
