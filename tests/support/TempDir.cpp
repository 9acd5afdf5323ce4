#include "support/TempDir.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::test {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

// Gives folders back their bits first, so that a test's read-only or unreadable folders go too.
void removeTree(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return;
    if (S_ISDIR(info.st_mode)) {
        ::chmod(path.c_str(), 0700);
        std::error_code ignored;
        std::vector<std::string> children;
        for (const auto& entry : fs::directory_iterator(path, ignored))
            children.push_back(entry.path().string());
        for (const auto& child : children)
            removeTree(child);
        ::rmdir(path.c_str());
    } else {
        ::unlink(path.c_str());
    }
}

void collect(const std::string& root, const std::string& relative, std::vector<std::string>& out) {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(root + relative, ignored)) {
        const std::string name = relative + entry.path().filename().string();
        struct stat info {};
        if (::lstat(entry.path().c_str(), &info) != 0)
            continue;
        if (S_ISLNK(info.st_mode)) {
            out.push_back(name + " -> " + fs::read_symlink(entry.path(), ignored).string());
        } else if (S_ISDIR(info.st_mode)) {
            out.push_back(name + "/");
            collect(root, name + "/", out);
        } else {
            out.push_back(name);
        }
    }
}

} // namespace

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/velmora-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        fail("cannot make temporary folder", pattern);
    path_ = pattern + "/";
}

TempDir::~TempDir() {
    removeTree(path_.substr(0, path_.size() - 1));
}

std::string TempDir::at(std::string_view relative) const {
    return path_ + std::string(relative);
}

std::string TempDir::writeFile(std::string_view relative, std::string_view bytes) {
    const std::string full = at(relative);
    fs::create_directories(fs::path(full).parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        fail("cannot write", full);
    return full;
}

std::string TempDir::writeFile(std::string_view relative, std::string_view bytes, std::time_t seconds,
                               long nanoseconds) {
    const std::string full = writeFile(relative, bytes);
    const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    if (::utimensat(AT_FDCWD, full.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        fail("cannot set the time of", full);
    return full;
}

std::string TempDir::makeFolder(std::string_view relative) {
    const std::string full = at(relative);
    fs::create_directories(full);
    return full.size() > 1 && full.back() == '/' ? full.substr(0, full.size() - 1) : full;
}

std::string TempDir::makeLink(std::string_view relative, std::string_view linkText) {
    const std::string full = at(relative);
    fs::create_directories(fs::path(full).parent_path());
    if (::symlink(std::string(linkText).c_str(), full.c_str()) != 0)
        fail("cannot make link", full);
    return full;
}

std::string TempDir::makeLink(std::string_view relative, std::string_view linkText, std::time_t seconds) {
    const std::string full = makeLink(relative, linkText);
    const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    if (::utimensat(AT_FDCWD, full.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        fail("cannot set the time of", full);
    return full;
}

void TempDir::setMode(std::string_view relative, unsigned mode) {
    const std::string full = at(relative);
    if (::fchmodat(AT_FDCWD, full.c_str(), mode, AT_SYMLINK_NOFOLLOW) != 0)
        fail("cannot set the mode of", full);
}

void TempDir::openToEveryone() {
    if (::chmod(path_.c_str(), 0777) != 0)
        fail("cannot open up", path_);
}

std::string TempDir::readFile(const std::string& fullPath) {
    std::ifstream in(fullPath, std::ios::binary);
    if (!in)
        fail("cannot read", fullPath);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool TempDir::exists(const std::string& fullPath) {
    struct stat info {};
    return ::lstat(fullPath.c_str(), &info) == 0;
}

std::vector<std::string> TempDir::listTree() const {
    std::vector<std::string> paths;
    collect(path_, "", paths);
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::vector<std::string> TempDir::temporaryFiles(std::string_view relativeFolder) const {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(at(relativeFolder), ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".velmora-") != std::string::npos)
            names.push_back(name);
    }
    return names;
}

} // namespace velmora::test
