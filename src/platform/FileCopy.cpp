#include "platform/FileCopy.h"

#include "platform/FileHandle.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <linux/fs.h>
#include <memory>
#include <mutex>
#include <random>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace velmora::platform {

namespace {

constexpr std::size_t kKernelChunk = 8u << 20; // bytes per copy_file_range call between abandon checks
constexpr std::size_t kBufferSize = 1u << 20;  // read/write loop buffer
constexpr int kNameAttempts = 100;             // fresh temporary names tried before giving up
constexpr std::size_t kNameMax = 255;
constexpr const char* kTemporaryMark = ".velmora-";

bool isAbandoned(const std::atomic<bool>* abandoned) {
    return abandoned != nullptr && abandoned->load(std::memory_order_relaxed);
}

// The kernel's ways of saying "not this way, copy it yourself".
bool kernelRefused(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == ENOTTY;
}

// Six name characters per temporary file without a system call: each worker thread is short-lived,
// so seeding per thread would cost a getrandom per copy.
std::string randomSuffix() {
    static std::atomic<std::uint64_t> state{std::random_device{}()};
    std::uint64_t z = state.fetch_add(0x9E3779B97F4A7C15ull, std::memory_order_relaxed);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix(6, 'x');
    for (char& c : suffix) {
        c = kAlphabet[z % 62];
        z /= 62;
    }
    return suffix;
}

// File systems on which FICLONE was refused; asking again would cost a system call per file.
class CloneRefusals {
public:
    bool refused(dev_t device) {
        std::lock_guard lock(mutex_);
        return std::find(devices_.begin(), devices_.end(), device) != devices_.end();
    }
    void remember(dev_t device) {
        std::lock_guard lock(mutex_);
        if (std::find(devices_.begin(), devices_.end(), device) == devices_.end())
            devices_.push_back(device);
    }

private:
    std::mutex mutex_;
    std::vector<dev_t> devices_;
};

CloneRefusals& cloneRefusals() {
    static CloneRefusals refusals;
    return refusals;
}

int writeAll(int to, const char* data, std::size_t length) {
    while (length > 0) {
        ssize_t written = ::write(to, data, length);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += written;
        length -= static_cast<std::size_t>(written);
    }
    return 0;
}

int renameInto(const std::string& temporary, const std::string& target, bool failIfExists) {
    if (failIfExists)
        return renameNoReplace(temporary, target);
    return ::rename(temporary.c_str(), target.c_str()) == 0 ? 0 : errno;
}

// Checked before any work: an existing target that we must not replace.
int checkTarget(const std::string& target, bool failIfExists) {
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0)
        return errno == ENOENT ? 0 : errno;
    if (failIfExists)
        return EEXIST;
    if (S_ISDIR(info.st_mode))
        return EISDIR;
    // Our own check, so that root is refused like everyone else. A link has no bits of its own.
    if (!S_ISLNK(info.st_mode) && (info.st_mode & 0222) == 0)
        return EACCES;
    return 0;
}

int copyLink(const std::string& source, const struct stat& info, const std::string& target, bool failIfExists,
             const std::atomic<bool>* abandoned) {
    char text[PATH_MAX];
    ssize_t length = ::readlink(source.c_str(), text, sizeof text);
    if (length < 0)
        return errno;
    if (static_cast<std::size_t>(length) == sizeof text)
        return ENAMETOOLONG;
    text[length] = '\0';

    std::string temporary;
    for (int attempt = 0;; ++attempt) {
        temporary = temporarySibling(target);
        if (temporary.empty())
            return EINVAL;
        if (::symlink(text, temporary.c_str()) == 0)
            break;
        if (errno != EEXIST || attempt + 1 == kNameAttempts)
            return errno;
    }
    // The link's own time, so that the next comparison sees the copy as up to date; a file
    // system that cannot set it still has a correct link.
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    ::utimensat(AT_FDCWD, temporary.c_str(), times, AT_SYMLINK_NOFOLLOW);

    int result = isAbandoned(abandoned) ? ECANCELED : renameInto(temporary, target, failIfExists);
    if (result != 0)
        ::unlink(temporary.c_str());
    return result;
}

int copyRegular(FileHandle& in, const struct stat& info, const std::string& target, bool failIfExists,
                const std::atomic<bool>* abandoned) {
    std::string temporary;
    FileHandle out;
    for (int attempt = 0;; ++attempt) {
        temporary = temporarySibling(target);
        if (temporary.empty())
            return EINVAL;
        // Private until complete; the source's bits are put on at the end.
        out = FileHandle(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (out)
            break;
        if (errno != EEXIST || attempt + 1 == kNameAttempts)
            return errno;
    }

    auto fail = [&](int error) {
        out.reset();
        ::unlink(temporary.c_str());
        return error;
    };

    const auto size = static_cast<std::uint64_t>(info.st_size);
    bool cloned = false;
    if (size > 0 && !cloneRefusals().refused(info.st_dev)) {
        if (::ioctl(out.get(), FICLONE, in.get()) == 0)
            cloned = true;
        else if (kernelRefused(errno))
            cloneRefusals().remember(info.st_dev);
    }
    if (!cloned && size > 0) {
        if (int error = copyBytes(in.get(), out.get(), size, abandoned); error != 0)
            return fail(error);
    }

    // Only the permission bits: we do not carry the owner, and a setuid or setgid bit on a copy
    // owned by whoever runs us (often root) would hand out that user's rights.
    if (::fchmod(out.get(), info.st_mode & 0777) != 0)
        return fail(errno);
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    if (::futimens(out.get(), times) != 0)
        return fail(errno);
    if (int error = out.close(); error != 0)
        return fail(error);
    if (isAbandoned(abandoned))
        return fail(ECANCELED);
    if (int error = renameInto(temporary, target, failIfExists); error != 0)
        return fail(error);
    return 0;
}

} // namespace

int copyBytes(int from, int to, std::uint64_t size, const std::atomic<bool>* abandoned, bool inKernel) {
    std::unique_ptr<char[]> buffer;
    std::uint64_t done = 0;
    while (done < size) {
        if (isAbandoned(abandoned))
            return ECANCELED;
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(size - done, kKernelChunk));
        ssize_t copied;
        if (inKernel) {
            copied = ::copy_file_range(from, nullptr, to, nullptr, wanted, 0);
            if (copied < 0) {
                if (errno == EINTR)
                    continue;
                if (!kernelRefused(errno))
                    return errno;
                inKernel = false; // both offsets are where the kernel left them: go on from there
                continue;
            }
        } else {
            if (!buffer)
                buffer = std::make_unique<char[]>(kBufferSize);
            copied = ::read(from, buffer.get(), std::min(wanted, kBufferSize));
            if (copied < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            if (int error = writeAll(to, buffer.get(), static_cast<std::size_t>(copied)); error != 0)
                return error;
        }
        if (copied == 0)
            break; // the file got shorter while we copied: what there is, is copied
        done += static_cast<std::uint64_t>(copied);
    }
    return 0;
}

std::string temporarySibling(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string_view name(target.data() + nameStart, target.size() - nameStart);
    if (name.empty())
        return {};
    const std::size_t room = kNameMax - 1 - std::char_traits<char>::length(kTemporaryMark) - 6;
    if (name.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut; // do not split a UTF-8 character: some file systems refuse such names
        name = name.substr(0, cut);
    }
    std::string result = target.substr(0, nameStart);
    result += '.';
    result += name;
    result += kTemporaryMark;
    result += randomSuffix();
    return result;
}

int renameNoReplace(const std::string& source, const std::string& target) {
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    const int error = errno;
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP)
        return error;
    // The file system cannot refuse for us: look first, then rename.
    struct stat info {};
    if (::lstat(target.c_str(), &info) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    return ::rename(source.c_str(), target.c_str()) == 0 ? 0 : errno;
}

int copyThroughTemporary(const std::string& source, const std::string& target, bool failIfExists,
                         const std::atomic<bool>* abandoned) {
    if (isAbandoned(abandoned))
        return ECANCELED;
    // O_NONBLOCK: should a FIFO have taken the file's place, opening it must not wait forever.
    FileHandle in(::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!in) {
        const int error = errno;
        struct stat info {};
        if (error == ELOOP && ::lstat(source.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
            if (int refusal = checkTarget(target, failIfExists); refusal != 0)
                return refusal;
            return copyLink(source, info, target, failIfExists, abandoned);
        }
        return error;
    }
    struct stat info {};
    if (::fstat(in.get(), &info) != 0)
        return errno;
    if (S_ISDIR(info.st_mode))
        return EISDIR;
    if (!S_ISREG(info.st_mode))
        return EOPNOTSUPP; // FIFOs, sockets and devices are never copied
    if (int refusal = checkTarget(target, failIfExists); refusal != 0)
        return refusal;
    return copyRegular(in, info, target, failIfExists, abandoned);
}

} // namespace velmora::platform
