#pragma once

#include <cerrno>
#include <unistd.h>

namespace velmora::platform {

// Owns one file descriptor and closes it when it goes; -1 means none.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int fd) : fd_(fd) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle(FileHandle&& other) noexcept : fd_(other.release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = other.release();
        }
        return *this;
    }
    ~FileHandle() { reset(); }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    // Closes now and answers 0 or the errno of close: on network file systems close is where
    // a failed write shows itself.
    int close() {
        int fd = release();
        return fd >= 0 && ::close(fd) != 0 ? errno : 0;
    }

private:
    int fd_ = -1;
};

} // namespace velmora::platform
