#include "support/Unprivileged.h"

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/wait.h>

namespace velmora::test {

namespace {

// Child's report through the pipe: 0 = ran (value follows), else the errno of the failed step.
struct Report {
    int stepError = 0;
    int step = 0; // 1 setgroups, 2 setgid, 3 setuid, 4 the body threw
    int value = 0;
};

void writeReport(int fd, const Report& report) {
    const char* data = reinterpret_cast<const char*>(&report);
    std::size_t left = sizeof report;
    while (left > 0) {
        ssize_t written = ::write(fd, data, left);
        if (written <= 0 && errno != EINTR)
            return;
        if (written > 0) {
            data += written;
            left -= static_cast<std::size_t>(written);
        }
    }
}

} // namespace

UnprivilegedResult runUnprivileged(const std::function<int()>& body, uid_t uid, gid_t gid) {
    UnprivilegedResult result;
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        result.problem = std::string("pipe: ") + std::strerror(errno);
        return result;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        result.problem = std::string("fork: ") + std::strerror(errno);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return result;
    }
    if (child == 0) {
        ::close(pipeFds[0]);
        Report report;
        if (::setgroups(0, nullptr) != 0)
            report = {errno, 1, 0};
        else if (::setgid(gid) != 0)
            report = {errno, 2, 0};
        else if (::setuid(uid) != 0)
            report = {errno, 3, 0};
        else {
            try {
                report.value = body();
            } catch (...) {
                report = {0, 4, 0};
            }
        }
        writeReport(pipeFds[1], report);
        ::_exit(0); // no atexit handlers, no test framework teardown in the child
    }
    ::close(pipeFds[1]);
    Report report;
    std::size_t got = 0;
    while (got < sizeof report) {
        ssize_t n = ::read(pipeFds[0], reinterpret_cast<char*>(&report) + got, sizeof report - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    static const char* const kSteps[] = {"", "setgroups", "setgid", "setuid", "the body threw"};
    if (got != sizeof report)
        result.problem = "the child ended without a report";
    else if (report.step != 0)
        result.problem = std::string(kSteps[report.step]) +
                         (report.stepError != 0 ? std::string(": ") + std::strerror(report.stepError) : "");
    else {
        result.ran = true;
        result.value = report.value;
    }
    return result;
}

} // namespace velmora::test
