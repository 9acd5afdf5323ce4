#include "platform/FileCopy.h"

#include "platform/Clock.h"
#include "platform/CommandGate.h"
#include "platform/FileHandle.h"
#include "platform/FileSystem.h"
#include "platform/TemporaryRegistry.h"

#include <algorithm>
#include <cctype>
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
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace velmora::platform {

namespace {

constexpr std::size_t kKernelChunk = 8u << 20; // most bytes per copy_file_range call between abandon checks
constexpr std::size_t kBufferSize = 1u << 20;  // read/write loop buffer
constexpr std::size_t kSmallFile = 64u << 10;  // copied through a stack buffer
constexpr int kNameAttempts = 100;             // fresh temporary names tried before giving up
constexpr std::size_t kNameMax = 255;
constexpr const char* kTemporaryMark = ".velmora-";
// The extended attribute that marks a temporary file as ours; its value says nothing more.
constexpr const char* kMarkAttribute = "user.velmora.temporary";
// From this size on, an existing target is examined before the copy rather than after it: a
// refused overwrite of a big file should not cost its whole copy, while for a small file the
// look costs more than the copy it might spare.
constexpr std::uint64_t kCheckFirstSize = 1u << 20;

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

// Renames the temporary name `temporary` in the target's folder to the target's name.
int renameInto(const std::string& temporary, const Place& target, bool failIfExists) {
    if (failIfExists)
        return renameNoReplace(target.folder, temporary, target.folder, target.name);
    return ::renameat(target.folder, temporary.c_str(), target.folder, target.name.c_str()) == 0 ? 0 : errno;
}

void unlinkIn(const Place& place, const std::string& name) {
    ::unlinkat(place.folder, name.c_str(), 0);
}

// Checked before any work: an existing target that we must not replace.
int checkTarget(const Place& target, bool failIfExists, bool allowReadOnly, const SeenTarget* seen) {
    struct stat info {};
    if (::fstatat(target.folder, target.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? 0 : errno;
    if (failIfExists)
        return EEXIST;
    if (seen && !stillAsSeen(info, *seen))
        return kChangedAfterAnalysis;
    if (S_ISDIR(info.st_mode))
        return EISDIR;
    // Our own check, so that root is refused like everyone else. A link has no bits of its own.
    if (!allowReadOnly && !S_ISLNK(info.st_mode) && (info.st_mode & 0222) == 0)
        return EACCES;
    return 0;
}

// Checked once more just before a complete copy replaces the target: someone may have written it
// while the copy ran. A target gone meanwhile may be replaced: nothing of it is lost.
int checkStillSeen(const Place& target, const SeenTarget* seen) {
    if (!seen)
        return 0;
    struct stat info {};
    if (::fstatat(target.folder, target.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? 0 : errno;
    return stillAsSeen(info, *seen) ? 0 : kChangedAfterAnalysis;
}

// Files copied as unnamed (O_TMPFILE) files and linked in when complete: one directory entry
// per copy instead of a temporary name plus a rename, and nothing left behind by a copy that
// fails or is abandoned. File systems that refuse, or a process that cannot link such a file
// (no capability and no /proc), fall back to a named temporary sibling.
class UnnamedCopies {
public:
    bool usable() const { return !unusable_.load(std::memory_order_relaxed); }
    void giveUp() { unusable_ = true; }
    bool refusedIn(const std::string& folder) {
        std::lock_guard lock(mutex_);
        return folder == refusedFolder_;
    }
    void refuse(const std::string& folder) {
        std::lock_guard lock(mutex_);
        refusedFolder_ = folder; // files of one folder come one after another
    }
    bool emptyPathRefused() const { return emptyPathRefused_.load(std::memory_order_relaxed); }
    void refuseEmptyPath() { emptyPathRefused_ = true; }

private:
    std::atomic<bool> unusable_{false};
    std::atomic<bool> emptyPathRefused_{false};
    std::mutex mutex_;
    std::string refusedFolder_;
};

UnnamedCopies& unnamedCopies() {
    static UnnamedCopies copies;
    return copies;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// An unnamed file in the place's folder.
FileHandle openUnnamedIn(const Place& place) {
    const std::string folder = place.folder == AT_FDCWD ? folderOf(place.name) : std::string(".");
    return FileHandle(::openat(place.folder, folder.c_str(), O_WRONLY | O_TMPFILE | O_CLOEXEC, 0600));
}

// Gives the unnamed file `fd` the name `name` in `folder`; EEXIST when the name is taken.
int linkUnnamed(int fd, int folder, const std::string& name) {
    UnnamedCopies& copies = unnamedCopies();
    if (!copies.emptyPathRefused()) {
        if (::linkat(fd, "", folder, name.c_str(), AT_EMPTY_PATH) == 0)
            return 0;
        if (errno != ENOENT && errno != EPERM)
            return errno;
    }
    // Without the capability to link by descriptor: through its name in /proc.
    char self[40];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    if (::linkat(AT_FDCWD, self, folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        copies.refuseEmptyPath();
        return 0;
    }
    return errno;
}

int copyLink(const Place& source, const struct stat& info, const Place& target, bool failIfExists,
             CommandGate* gate, const SeenTarget* seen) {
    char text[PATH_MAX];
    ssize_t length = ::readlinkat(source.folder, source.name.c_str(), text, sizeof text);
    if (length < 0)
        return errno;
    if (static_cast<std::size_t>(length) == sizeof text)
        return ENAMETOOLONG;
    text[length] = '\0';

    std::string temporary;
    for (int attempt = 0;; ++attempt) {
        temporary = temporarySibling(target.name);
        if (temporary.empty())
            return EINVAL;
        if (::symlinkat(text, target.folder, temporary.c_str()) == 0)
            break;
        if (errno != EEXIST || attempt + 1 == kNameAttempts)
            return errno;
    }
    TemporaryName kept(target.folder, temporary);
    // The link's own time, so that the next comparison sees the copy as up to date; a file
    // system that cannot set it still has a correct link.
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    ::utimensat(target.folder, temporary.c_str(), times, AT_SYMLINK_NOFOLLOW);

    int result = checkStillSeen(target, seen);
    if (result == 0)
        result = commit(gate) ? renameInto(temporary, target, failIfExists) : ECANCELED;
    if (result != 0)
        unlinkIn(target, temporary);
    return result;
}

// A small file in one read and one write through the stack: cheaper than the kernel's copy,
// which sets up a pipe for every call.
int copySmall(int from, int to, std::uint64_t size) {
    char buffer[kSmallFile];
    std::size_t length = 0;
    while (length < size) {
        const ssize_t got = ::read(from, buffer + length, static_cast<std::size_t>(size) - length);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            break; // the file got shorter while we copied: what there is, is copied
        length += static_cast<std::size_t>(got);
    }
    return writeAll(to, buffer, length);
}

// Whether the source is still the version whose copy began: the same size, modification time
// and change time.
bool unchangedSince(int in, const struct stat& before) {
    struct stat now {};
    if (::fstat(in, &now) != 0)
        return false;
    return now.st_size == before.st_size && now.st_mtim.tv_sec == before.st_mtim.tv_sec &&
           now.st_mtim.tv_nsec == before.st_mtim.tv_nsec && now.st_ctim.tv_sec == before.st_ctim.tv_sec &&
           now.st_ctim.tv_nsec == before.st_ctim.tv_nsec;
}

bool hasHoles(const struct stat& info) {
    return static_cast<std::uint64_t>(info.st_blocks) * 512 < static_cast<std::uint64_t>(info.st_size);
}

// Copies the data extents only, so that a file with holes keeps them. Answers EINVAL (nothing
// written) when the file system cannot tell data from holes.
int copyExtents(int in, int out, std::uint64_t size, CommandGate* gate) {
    off_t offset = 0;
    const auto end = static_cast<off_t>(size);
    while (offset < end) {
        const off_t data = ::lseek(in, offset, SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO)
                break; // only a hole from here to the end
            return errno;
        }
        off_t hole = ::lseek(in, data, SEEK_HOLE);
        if (hole < 0)
            return errno;
        hole = std::min(hole, end);
        if (hole <= data)
            break;
        if (::lseek(in, data, SEEK_SET) < 0 || ::lseek(out, data, SEEK_SET) < 0)
            return errno;
        if (int error = copyBytes(in, out, static_cast<std::uint64_t>(hole - data), gate))
            return error;
        offset = hole;
    }
    return ::ftruncate(out, end) == 0 ? 0 : errno;
}

int copyData(FileHandle& in, FileHandle& out, const struct stat& info, CommandGate* gate) {
    const auto size = static_cast<std::uint64_t>(info.st_size);
    bool cloned = false;
    if (size > 0 && !cloneRefusals().refused(info.st_dev)) {
        if (::ioctl(out.get(), FICLONE, in.get()) == 0)
            cloned = true;
        else if (kernelRefused(errno))
            cloneRefusals().remember(info.st_dev);
    }
    if (!cloned && size > 0) {
        int error = EINVAL;
        const bool sparse = size > kSmallFile && hasHoles(info);
        if (sparse)
            error = copyExtents(in.get(), out.get(), size, gate);
        if (error == EINVAL) {
            // Both files are at their start unless the extent copy moved them before it gave up:
            // two system calls per file spared.
            if (sparse && (::lseek(in.get(), 0, SEEK_SET) < 0 || ::lseek(out.get(), 0, SEEK_SET) < 0))
                return errno;
            error = size <= kSmallFile ? copySmall(in.get(), out.get(), size)
                                       : copyBytes(in.get(), out.get(), size, gate);
        }
        if (error != 0)
            return error;
    }
    if (!unchangedSince(in.get(), info))
        return kChangedWhileCopied;
    // Only the permission bits: we do not carry the owner, and a setuid or setgid bit on a copy
    // owned by whoever runs us (often root) would hand out that user's rights.
    if (::fchmod(out.get(), info.st_mode & 0777) != 0)
        return errno;
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    if (::futimens(out.get(), times) != 0)
        return errno;
    return 0;
}

// A new temporary sibling of the target, private (0600) until complete: the bits are put on at the end.
int createTemporarySibling(const Place& target, std::string& temporary, FileHandle& out) {
    for (int attempt = 0;; ++attempt) {
        temporary = temporarySibling(target.name);
        if (temporary.empty())
            return EINVAL;
        out = FileHandle(::openat(target.folder, temporary.c_str(),
                                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (out)
            return 0;
        if (errno != EEXIST || attempt + 1 == kNameAttempts)
            return errno;
    }
}

// A file written by `write` under a fresh temporary sibling (marked as ours meanwhile), then renamed
// over the target when complete; whatever fails, the temporary name is gone.
template <class Write>
int throughNamedTemporary(const Place& target, bool failIfExists, CommandGate* gate, const SeenTarget* seen,
                          Write write) {
    std::string temporary;
    FileHandle out;
    if (int error = createTemporarySibling(target, temporary, out); error != 0)
        return error;
    TemporaryName kept(target.folder, temporary);
    markTemporary(out.get());

    auto fail = [&](int error) {
        out.reset();
        unlinkIn(target, temporary);
        return error;
    };
    if (int error = write(out); error != 0)
        return fail(error);
    // Unmarked just before it is named for good: a copy is never left with our mark on it.
    unmarkTemporary(out.get());
    if (int error = out.close(); error != 0)
        return fail(error);
    if (int error = checkStillSeen(target, seen); error != 0)
        return fail(error);
    if (!commit(gate))
        return fail(ECANCELED);
    if (int error = renameInto(temporary, target, failIfExists); error != 0)
        return fail(error);
    return 0;
}

// The copy through a named temporary sibling, renamed over the target when complete.
int copyNamed(FileHandle& in, const struct stat& info, const Place& target, bool failIfExists,
              CommandGate* gate, const SeenTarget* seen) {
    return throughNamedTemporary(target, failIfExists, gate, seen,
                                 [&](FileHandle& out) { return copyData(in, out, info, gate); });
}

constexpr int kNotThisWay = -1; // not an errno: unnamed files cannot be used here

// The copy as an unnamed file. `checked`: the target was already examined. Answers kNotThisWay
// when unnamed files cannot be used here (nothing has been changed then).
int copyUnnamed(FileHandle& in, const struct stat& info, const Place& target, bool failIfExists,
                bool allowReadOnly, bool checked, CommandGate* gate, const SeenTarget* seen) {
    const std::string folder = folderOf(target.path);
    if (unnamedCopies().refusedIn(folder))
        return kNotThisWay;
    FileHandle out = openUnnamedIn(target);
    if (!out) {
        const int error = errno;
        if (error != EOPNOTSUPP && error != EISDIR && error != EINVAL)
            return error; // the named way would fail alike (a missing or closed folder)
        unnamedCopies().refuse(folder);
        return kNotThisWay;
    }
    if (int error = copyData(in, out, info, gate); error != 0)
        return error; // closing `out` discards the copy
    if (!commit(gate))
        return ECANCELED;

    int error = linkUnnamed(out.get(), target.folder, target.name);
    if (error == 0) {
        // A failed write that shows itself only now must not leave a wrong file in place.
        if (int closeError = out.close(); closeError != 0) {
            unlinkIn(target, target.name);
            return closeError;
        }
        return 0;
    }
    if (error == ENOENT && ::access("/proc/self/fd", F_OK) != 0) {
        // Neither way of linking works in this process: copy with names from now on.
        unnamedCopies().giveUp();
        return kNotThisWay;
    }
    if (error != EEXIST)
        return error;

    // The target exists: the complete copy is named only now, to be renamed over it at once, so
    // that an interrupted overwrite leaves no partial file behind.
    if (!checked) {
        if (int refusal = checkTarget(target, failIfExists, allowReadOnly, seen); refusal != 0)
            return refusal;
    } else if (failIfExists) {
        return EEXIST;
    } else if (int refusal = checkStillSeen(target, seen); refusal != 0) {
        return refusal;
    }
    std::string temporary;
    markTemporary(out.get());
    for (int attempt = 0;; ++attempt) {
        temporary = temporarySibling(target.name);
        if (temporary.empty())
            return EINVAL;
        error = linkUnnamed(out.get(), target.folder, temporary);
        if (error == 0)
            break;
        if (error != EEXIST || attempt + 1 == kNameAttempts)
            return error;
    }
    TemporaryName kept(target.folder, temporary);
    auto fail = [&](int failure) {
        out.reset();
        unlinkIn(target, temporary);
        return failure;
    };
    unmarkTemporary(out.get());
    if (int closeError = out.close(); closeError != 0)
        return fail(closeError);
    if (!commit(gate))
        return fail(ECANCELED);
    if (int renameError = renameInto(temporary, target, failIfExists); renameError != 0)
        return fail(renameError);
    return 0;
}

int copyOnce(FileHandle& in, const struct stat& info, const Place& target, bool failIfExists,
             bool allowReadOnly, CommandGate* gate, const SeenTarget* seen) {
    // Small files are mostly new ones: their target is examined only when it turns out to exist.
    const bool checkFirst = static_cast<std::uint64_t>(info.st_size) >= kCheckFirstSize;
    if (checkFirst) {
        if (int refusal = checkTarget(target, failIfExists, allowReadOnly, seen); refusal != 0)
            return refusal;
    }
    if (unnamedCopies().usable()) {
        const int error = copyUnnamed(in, info, target, failIfExists, allowReadOnly, checkFirst, gate, seen);
        if (error != kNotThisWay)
            return error;
        if (::lseek(in.get(), 0, SEEK_SET) < 0)
            return errno;
    }
    if (!checkFirst) {
        if (int refusal = checkTarget(target, failIfExists, allowReadOnly, seen); refusal != 0)
            return refusal;
    }
    return copyNamed(in, info, target, failIfExists, gate, seen);
}

// A source that changes while it is copied would leave a mix of old and new bytes that carries
// the old time, which no later run would repair: such a copy is discarded and tried once more.
int copyRegular(FileHandle& in, struct stat& info, const Place& target, bool failIfExists, bool allowReadOnly,
                CommandGate* gate, const SeenTarget* seen) {
    const int error = copyOnce(in, info, target, failIfExists, allowReadOnly, gate, seen);
    if (error != kChangedWhileCopied)
        return error;
    if (::fstat(in.get(), &info) != 0 || ::lseek(in.get(), 0, SEEK_SET) < 0)
        return errno;
    return copyOnce(in, info, target, failIfExists, allowReadOnly, gate, seen);
}

// Sizes each copy call from the rate seen so far, so that even a slow stream shows progress a few
// times a second: a command counts as stalled only when no byte has moved for the timeout, and one
// call that takes longer than that would look like a stall while data flows all the time. A fast
// disk reaches the largest chunk after a few calls.
class ChunkPacer {
public:
    explicit ChunkPacer(std::size_t largest) : largest_(largest) {}
    std::size_t next() const { return chunk_; }
    void took(std::size_t bytes, std::uint64_t millis) {
        const std::size_t grown = std::min(largest_, chunk_ * 4);
        if (millis == 0) {
            chunk_ = grown;
            return;
        }
        const std::uint64_t fitting = std::uint64_t{bytes} * kCallMillis / millis;
        chunk_ = static_cast<std::size_t>(std::clamp<std::uint64_t>(fitting, kSmallest, grown));
    }

private:
    static constexpr std::uint64_t kCallMillis = 250; // what one call should take
    static constexpr std::size_t kSmallest = 16u << 10;
    std::size_t largest_;
    std::size_t chunk_ = 64u << 10;
};

} // namespace

int copyBytes(int from, int to, std::uint64_t size, CommandGate* gate, bool inKernel) {
    std::unique_ptr<char[]> buffer;
    ChunkPacer pacer(inKernel ? kKernelChunk : kBufferSize);
    std::uint64_t done = 0;
    while (done < size) {
        if (isAbandoned(gate))
            return ECANCELED;
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(size - done, pacer.next()));
        const std::uint64_t started = steadyMillis();
        ssize_t copied;
        if (inKernel) {
            copied = ::copy_file_range(from, nullptr, to, nullptr, wanted, 0);
            if (copied < 0) {
                if (errno == EINTR)
                    continue;
                if (!kernelRefused(errno))
                    return errno;
                inKernel = false; // both offsets are where the kernel left them: go on from there
                pacer = ChunkPacer(kBufferSize);
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
        progressed(gate);
        pacer.took(static_cast<std::size_t>(copied), steadyMillis() - started);
    }
    return 0;
}

void markTemporary(int fd) {
    ::fsetxattr(fd, kMarkAttribute, "1", 1, 0);
}

void unmarkTemporary(int fd) {
    ::fremovexattr(fd, kMarkAttribute);
}

bool isMarkedTemporary(int folder, const std::string& name) {
    if (!isTemporaryName(name))
        return false;
    FileHandle file(
        ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (!file || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    char value = 0;
    return ::fgetxattr(file.get(), kMarkAttribute, &value, 1) == 1;
}

bool isTemporaryName(std::string_view name) {
    constexpr std::size_t kSuffix = 6;
    const std::size_t markLength = std::char_traits<char>::length(kTemporaryMark);
    if (name.size() < 2 + markLength + kSuffix || name.front() != '.')
        return false;
    const std::string_view mark = name.substr(name.size() - kSuffix - markLength, markLength);
    if (mark != kTemporaryMark)
        return false;
    for (char c : name.substr(name.size() - kSuffix))
        if (!std::isalnum(static_cast<unsigned char>(c)))
            return false;
    return true;
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

int renameNoReplace(int sourceFolder, const std::string& source, int targetFolder,
                    const std::string& target) {
    if (::renameat2(sourceFolder, source.c_str(), targetFolder, target.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    const int error = errno;
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP)
        return error;
    // The file system cannot refuse for us: look first, then rename.
    struct stat info {};
    if (::fstatat(targetFolder, target.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    return ::renameat(sourceFolder, source.c_str(), targetFolder, target.c_str()) == 0 ? 0 : errno;
}

bool stillAsSeen(const struct stat& info, const SeenTarget& seen) {
    return seen.present && !S_ISDIR(info.st_mode) && static_cast<std::uint64_t>(info.st_size) == seen.size &&
           (!seen.modifiedSeconds || info.st_mtim.tv_sec == *seen.modifiedSeconds);
}

namespace {

int copyAnyKind(const Place& source, const Place& target, bool failIfExists, CommandGate* gate,
                bool allowReadOnly, const SeenTarget* seen) {
    if (isAbandoned(gate))
        return ECANCELED;
    // O_NONBLOCK: should a FIFO have taken the file's place, opening it must not wait forever.
    FileHandle in(::openat(source.folder, source.name.c_str(),
                           O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!in) {
        const int error = errno;
        struct stat info {};
        if (error == ELOOP &&
            ::fstatat(source.folder, source.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISLNK(info.st_mode)) {
            if (int refusal = checkTarget(target, failIfExists, allowReadOnly, seen); refusal != 0)
                return refusal;
            return copyLink(source, info, target, failIfExists, gate, seen);
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
    return copyRegular(in, info, target, failIfExists, allowReadOnly, gate, seen);
}

} // namespace

int copyThroughTemporary(const Place& source, const Place& target, bool failIfExists, CommandGate* gate,
                         bool allowReadOnly, const SeenTarget* seen) {
    // A name that was free when the run looked must still be free: what took it meanwhile is
    // someone's new file.
    const bool keepFree = seen && !seen->present;
    const int error = copyAnyKind(source, target, failIfExists || keepFree, gate, allowReadOnly, seen);
    return keepFree && !failIfExists && error == EEXIST ? kChangedAfterAnalysis : error;
}

int readThroughSink(const Place& source, FileStamp& stamp, const ByteSink& sink, CommandGate* gate) {
    FileHandle in(
        ::openat(source.folder, source.name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    if (!in)
        return errno == ELOOP ? ENOTSUP : errno;
    struct stat info {};
    if (::fstat(in.get(), &info) != 0)
        return errno;
    if (S_ISDIR(info.st_mode))
        return EISDIR;
    if (!S_ISREG(info.st_mode))
        return EOPNOTSUPP;
    stamp = {static_cast<std::uint32_t>(info.st_mode & 0777), info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
    std::vector<char> buffer(kBufferSize);
    for (;;) {
        if (isAbandoned(gate))
            return ECANCELED;
        const ssize_t got = ::read(in.get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            break;
        if (int error = sink(buffer.data(), static_cast<std::size_t>(got)); error != 0)
            return error;
        progressed(gate);
    }
    return unchangedSince(in.get(), info) ? 0 : kChangedWhileCopied;
}

int writeThroughTemporary(const Place& target, const ByteFill& fill, bool failIfExists, CommandGate* gate,
                          bool allowReadOnly, const SeenTarget* seen) {
    const bool keepFree = seen && !seen->present;
    if (int refusal = checkTarget(target, failIfExists || keepFree, allowReadOnly, seen); refusal != 0)
        return keepFree && refusal == EEXIST ? kChangedAfterAnalysis : refusal;
    const int error =
        throughNamedTemporary(target, failIfExists || keepFree, gate, seen, [&](FileHandle& out) {
            FileStamp stamp;
            const int filled = fill(
                [&](const char* data, std::size_t size) {
                    if (isAbandoned(gate))
                        return ECANCELED;
                    const int written = writeAll(out.get(), data, size);
                    progressed(gate);
                    return written;
                },
                stamp);
            if (filled != 0)
                return filled;
            if (::fchmod(out.get(), stamp.mode & 0777) != 0)
                return errno;
            const struct timespec modified { stamp.modifiedSeconds, stamp.modifiedNanoseconds };
            const struct timespec times[2] = {modified, modified};
            return ::futimens(out.get(), times) == 0 ? 0 : errno;
        });
    return keepFree && error == EEXIST ? kChangedAfterAnalysis : error;
}

} // namespace velmora::platform
