#include "sftp/SftpFileSystem.h"

#include "platform/Clock.h"
#include "platform/ErrorText.h"
#include "platform/FileCopy.h"
#include "platform/WriteInPieces.h"
#include "sftp/ListingReadAhead.h"
#include "sftp/SftpConnection.h"

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <vector>

namespace velmora::sftp {
namespace {

// Bytes asked for or sent per request: what every server takes in one SFTP packet.
constexpr std::size_t kChunk = 32u << 10;

struct Attributes {
    sftp_attributes value = nullptr;
    explicit Attributes(sftp_attributes attributes) : value(attributes) {}
    ~Attributes() {
        if (value != nullptr)
            sftp_attributes_free(value);
    }
    Attributes(const Attributes&) = delete;
    Attributes& operator=(const Attributes&) = delete;
    sftp_attributes operator->() const { return value; }
    explicit operator bool() const { return value != nullptr; }
};

struct RemoteFile {
    sftp_file value = nullptr;
    explicit RemoteFile(sftp_file file) : value(file) {}
    ~RemoteFile() { close(); }
    RemoteFile(const RemoteFile&) = delete;
    RemoteFile& operator=(const RemoteFile&) = delete;
    explicit operator bool() const { return value != nullptr; }
    int close() {
        const int result = value != nullptr ? sftp_close(value) : SSH_OK;
        value = nullptr;
        return result;
    }
};

bool isFolder(const sftp_attributes a) {
    return a->type == SSH_FILEXFER_TYPE_DIRECTORY;
}
bool isLink(const sftp_attributes a) {
    return a->type == SSH_FILEXFER_TYPE_SYMLINK;
}

std::uint32_t modeOf(const sftp_attributes a) {
    std::uint32_t type = S_IFREG;
    if (isFolder(a))
        type = S_IFDIR;
    else if (isLink(a))
        type = S_IFLNK;
    return type | (a->permissions & 07777);
}

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool asSeen(const sftp_attributes a, const platform::SeenTarget& seen) {
    return !isFolder(a) && a->size == seen.size &&
           (!seen.modifiedSeconds || static_cast<std::int64_t>(a->mtime) == *seen.modifiedSeconds);
}

// What stands at `path` must not be replaced: the same rules as a local copy's target.
int checkTarget(SessionLease& session, const std::string& path, bool failIfExists, bool allowReadOnly,
                const platform::SeenTarget* seen) {
    Attributes existing(sftp_lstat(session->sftp, path.c_str()));
    if (!existing) {
        const int error = session.error();
        return error == ENOENT ? 0 : error;
    }
    if (failIfExists || (seen && !seen->present))
        return seen && !seen->present && !failIfExists ? platform::kChangedAfterAnalysis : EEXIST;
    if (seen && !asSeen(existing.value, *seen))
        return platform::kChangedAfterAnalysis;
    if (isFolder(existing.value))
        return EISDIR;
    if (!allowReadOnly && !isLink(existing.value) && (existing->permissions & 0222) == 0)
        return EACCES;
    return 0;
}

// Puts the complete temporary file in place. SFTP's rename never replaces a file, so an existing
// target first steps aside under a name of its own and is removed only once the copy has its name:
// whatever fails, one of the two versions keeps the target's name or the aside name.
int putInPlace(SessionLease& session, const std::string& temporary, const std::string& target) {
    if (sftp_rename(session->sftp, temporary.c_str(), target.c_str()) == 0)
        return 0;
    Attributes existing(sftp_lstat(session->sftp, target.c_str()));
    if (!existing)
        return session.error() == ENOENT ? platform::kServerRefused : session.error();
    const std::string aside = parentOf(target) + "/" + platform::temporarySibling(nameOf(target)) + "-old";
    if (sftp_rename(session->sftp, target.c_str(), aside.c_str()) != 0)
        return session.error();
    if (sftp_rename(session->sftp, temporary.c_str(), target.c_str()) != 0) {
        const int error = session.error();
        sftp_rename(session->sftp, aside.c_str(), target.c_str());
        return error;
    }
    sftp_unlink(session->sftp, aside.c_str());
    return 0;
}

} // namespace

namespace {
Listing listOnce(SftpConnection& connection, const std::string& folder);
} // namespace

SftpFileSystem::SftpFileSystem(std::unique_ptr<SftpConnection> connection)
    : connection_(std::move(connection)),
      readAhead_(ListingReadAhead::create(
          [connection = connection_](const std::string& folder) { return listOnce(*connection, folder); })) {}
SftpFileSystem::~SftpFileSystem() = default;

std::unique_ptr<SftpFileSystem> SftpFileSystem::connect(const SftpLogin& login, std::string& error) {
    std::unique_ptr<SftpConnection> connection = SftpConnection::open(login, error);
    if (!connection)
        return nullptr;
    return std::unique_ptr<SftpFileSystem>(new SftpFileSystem(std::move(connection)));
}

int SftpFileSystem::getAttributes(const std::string& path, platform::FileAttributes& out) {
    SessionLease session = connection_->lease();
    if (session->lost)
        return platform::kConnectionLost;
    Attributes a(sftp_lstat(session->sftp, withoutTrailingSlash(connection_->serverPath(path)).c_str()));
    if (!a)
        return session.error();
    out = {};
    out.mode = modeOf(a.value);
    out.isDirectory = isFolder(a.value);
    out.isLink = isLink(a.value);
    out.readOnly = (a->permissions & 0222) == 0;
    out.size = out.isDirectory ? 0 : a->size;
    return 0;
}

int SftpFileSystem::setAttributes(const std::string& path, std::uint32_t mode) {
    SessionLease session = connection_->lease();
    if (session->lost)
        return platform::kConnectionLost;
    return sftp_chmod(session->sftp, connection_->serverPath(path).c_str(), mode & 07777) == 0
               ? 0
               : session.error();
}

int SftpFileSystem::readFile(const std::string& path, platform::FileStamp& stamp,
                             const platform::ByteSink& sink, platform::CommandGate* gate) {
    SessionLease session = connection_->lease();
    if (session->lost)
        return platform::kConnectionLost;
    return readWith(session, path, stamp, sink, gate);
}

int SftpFileSystem::readWith(SessionLease& session, const std::string& path, platform::FileStamp& stamp,
                             const platform::ByteSink& sink, platform::CommandGate* gate) {
    const std::string file = connection_->serverPath(path);
    Attributes before(sftp_lstat(session->sftp, file.c_str()));
    if (!before)
        return session.error();
    if (isFolder(before.value))
        return EISDIR;
    if (before->type != SSH_FILEXFER_TYPE_REGULAR)
        return ENOTSUP; // links and special files are not carried between kinds of location
    stamp = {before->permissions & 0777, static_cast<std::int64_t>(before->mtime), 0};
    RemoteFile in(sftp_open(session->sftp, file.c_str(), O_RDONLY, 0));
    if (!in)
        return session.error();
    std::vector<char> buffer(kChunk);
    for (;;) {
        if (platform::isAbandoned(gate))
            return ECANCELED;
        const ssize_t got = sftp_read(in.value, buffer.data(), buffer.size());
        if (got < 0)
            return session.error();
        if (got == 0)
            break;
        if (int error = sink(buffer.data(), static_cast<std::size_t>(got)); error != 0)
            return error;
        platform::progressed(gate);
    }
    in.close();
    Attributes after(sftp_lstat(session->sftp, file.c_str()));
    if (!after)
        return session.error();
    return after->size == before->size && after->mtime == before->mtime ? 0 : platform::kChangedWhileCopied;
}

int SftpFileSystem::writeFile(const std::string& target, const platform::ByteFill& fill, bool failIfExists,
                              platform::CommandGate* gate, bool allowReadOnly,
                              const platform::SeenTarget* seen) {
    SessionLease session = connection_->lease();
    if (session->lost)
        return platform::kConnectionLost;
    return writeWith(session, target, fill, failIfExists, gate, allowReadOnly, seen);
}

int SftpFileSystem::writeWith(SessionLease& session, const std::string& target,
                              const platform::ByteFill& fill, bool failIfExists, platform::CommandGate* gate,
                              bool allowReadOnly, const platform::SeenTarget* seen) {
    const std::string path = connection_->serverPath(target);
    // A name that must be free needs no look first: the rename at the end refuses a taken one.
    const bool mustBeFree = failIfExists || (seen && !seen->present);
    if (!mustBeFree) {
        if (int refusal = checkTarget(session, path, failIfExists, allowReadOnly, seen); refusal != 0)
            return refusal;
    }
    std::string temporary;
    RemoteFile out(nullptr);
    for (int attempt = 0; !out; ++attempt) {
        temporary = parentOf(path) + "/" + platform::temporarySibling(nameOf(path));
        out.value = sftp_open(session->sftp, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (!out && (session.error() != EEXIST || attempt == 9))
            return session.error();
    }
    auto fail = [&](int error) {
        out.close();
        if (!session->lost)
            sftp_unlink(session->sftp, temporary.c_str());
        return error;
    };
    platform::FileStamp stamp;
    const int filled = fill(
        [&](const char* data, std::size_t size) {
            return platform::writeInPieces(
                data, size, kChunk, gate,
                [&](const char* piece, std::size_t count) { return sftp_write(out.value, piece, count); },
                [&] { return session.error(); });
        },
        stamp);
    if (filled != 0)
        return fail(filled);
    if (out.close() != SSH_OK)
        return fail(session.error());
    // The bits and the time in one request: every round trip counts for a tree of small files.
    sftp_attributes_struct stampAttributes{};
    stampAttributes.flags = SSH_FILEXFER_ATTR_PERMISSIONS | SSH_FILEXFER_ATTR_ACMODTIME;
    stampAttributes.permissions = stamp.mode & 0777;
    stampAttributes.atime = static_cast<std::uint32_t>(stamp.modifiedSeconds);
    stampAttributes.mtime = static_cast<std::uint32_t>(stamp.modifiedSeconds);
    if (sftp_setstat(session->sftp, temporary.c_str(), &stampAttributes) != 0)
        return fail(session.error());
    if (seen && seen->present) {
        Attributes now(sftp_lstat(session->sftp, path.c_str()));
        if (now && !asSeen(now.value, *seen))
            return fail(platform::kChangedAfterAnalysis);
    }
    if (!platform::commit(gate))
        return fail(ECANCELED);
    if (mustBeFree) {
        // SFTP's rename refuses an existing name: exactly what a name that must stay free needs.
        if (sftp_rename(session->sftp, temporary.c_str(), path.c_str()) != 0) {
            Attributes taken(sftp_lstat(session->sftp, path.c_str()));
            const int error =
                taken ? (failIfExists ? EEXIST : platform::kChangedAfterAnalysis) : session.error();
            return fail(error);
        }
        return 0;
    }
    if (int error = putInPlace(session, temporary, path); error != 0)
        return fail(error);
    return 0;
}

int SftpFileSystem::copyFile(const std::string& source, const std::string& target, bool failIfExists,
                             platform::CommandGate* gate, bool allowReadOnly,
                             const platform::SeenTarget* seen) {
    // Both ends on this server: the bytes come down and go back up through one session, so that
    // copies running side by side never wait for each other's second session.
    SessionLease session = connection_->lease();
    if (session->lost)
        return platform::kConnectionLost;
    return writeWith(
        session, target,
        [&](const platform::ByteSink& sink, platform::FileStamp& stamp) {
            return readWith(session, source, stamp, sink, gate);
        },
        failIfExists, gate, allowReadOnly, seen);
}

int SftpFileSystem::moveFile(const std::string& source, const std::string& target) {
    SessionLease session = connection_->lease();
    if (session->lost)
        return platform::kConnectionLost;
    const std::string to = connection_->serverPath(target);
    Attributes existing(sftp_lstat(session->sftp, to.c_str()));
    if (existing)
        return EEXIST;
    return sftp_rename(session->sftp, connection_->serverPath(source).c_str(), to.c_str()) == 0
               ? 0
               : session.error();
}

int SftpFileSystem::deleteFile(const std::string& path, bool allowReadOnly,
                               const platform::SeenTarget* seen) {
    SessionLease session = connection_->lease();
    if (session->lost)
        return platform::kConnectionLost;
    const std::string file = connection_->serverPath(path);
    Attributes a(sftp_lstat(session->sftp, file.c_str()));
    if (!a)
        return session.error();
    if (isFolder(a.value))
        return EISDIR;
    if (seen && !asSeen(a.value, *seen))
        return platform::kChangedAfterAnalysis;
    if (!allowReadOnly && !isLink(a.value) && (a->permissions & 0222) == 0)
        return EACCES;
    return sftp_unlink(session->sftp, file.c_str()) == 0 ? 0 : session.error();
}

int SftpFileSystem::createFolder(const std::string& path, std::uint32_t mode) {
    SessionLease session = connection_->lease();
    if (session->lost)
        return platform::kConnectionLost;
    const std::string folder = withoutTrailingSlash(connection_->serverPath(path));
    if (sftp_mkdir(session->sftp, folder.c_str(), mode & 0777) == 0)
        return 0;
    const int error = session.error();
    Attributes a(sftp_lstat(session->sftp, folder.c_str()));
    return a ? EEXIST : error;
}

int SftpFileSystem::removeOwnTemporary(const std::string&) {
    // A remote file carries no mark of ours, so no file there can be told to be our leftover.
    return EPERM;
}

int SftpFileSystem::removeFolder(const std::string& path, bool allowReadOnly) {
    SessionLease session = connection_->lease();
    if (session->lost)
        return platform::kConnectionLost;
    const std::string folder = withoutTrailingSlash(connection_->serverPath(path));
    if (!allowReadOnly) {
        Attributes a(sftp_lstat(session->sftp, folder.c_str()));
        if (!a)
            return session.error();
        if ((a->permissions & 0222) == 0)
            return EACCES;
    }
    if (sftp_rmdir(session->sftp, folder.c_str()) == 0)
        return 0;
    const int error = session.error();
    if (error != platform::kServerRefused)
        return error;
    // The usual reason a server refuses to remove a folder.
    sftp_dir listing = sftp_opendir(session->sftp, folder.c_str());
    if (listing == nullptr)
        return error;
    bool empty = true;
    while (Attributes entry{sftp_readdir(session->sftp, listing)}) {
        const std::string name = entry->name != nullptr ? entry->name : "";
        if (name != "." && name != "..") {
            empty = false;
            break;
        }
    }
    sftp_closedir(listing);
    return empty ? error : ENOTEMPTY;
}

namespace {

Listing listOnce(SftpConnection& connection, const std::string& folder) {
    Listing out;
    SessionLease session = connection.lease();
    if (session->lost) {
        out.error = platform::kConnectionLost;
        return out;
    }
    sftp_dir listing = sftp_opendir(session->sftp, folder.c_str());
    if (listing == nullptr) {
        out.error = session.error();
        return out;
    }
    for (;;) {
        Attributes a(sftp_readdir(session->sftp, listing));
        if (!a) {
            if (!sftp_dir_eof(listing))
                out.error = session.error();
            break;
        }
        const std::string name = a->name != nullptr ? a->name : "";
        if (name.empty() || name == "." || name == "..")
            continue;
        if (a->type != SSH_FILEXFER_TYPE_REGULAR && !isFolder(a.value) && !isLink(a.value))
            continue; // FIFOs, sockets and devices never appear
        platform::DirEntry entry;
        entry.name = name;
        entry.isDirectory = isFolder(a.value);
        entry.isLink = isLink(a.value);
        entry.size = entry.isDirectory ? 0 : a->size;
        entry.modifiedSeconds = static_cast<std::int64_t>(a->mtime);
        entry.modified = platform::toLocalTime(static_cast<std::time_t>(a->mtime));
        out.entries.push_back(std::move(entry));
    }
    if (sftp_closedir(listing) != SSH_OK && out.error == 0)
        out.error = session.error();
    return out;
}

} // namespace

int SftpFileSystem::listFolder(const std::string& path,
                               const std::function<bool(const platform::DirEntry&)>& onEntry) {
    const Listing listing = readAhead_->list(withoutTrailingSlash(connection_->serverPath(path)));
    for (const platform::DirEntry& entry : listing.entries)
        if (!onEntry(entry))
            break;
    return listing.error;
}

int SftpFileSystem::resolveLocation(const std::string& path, std::string& real,
                                    platform::FileIdentity& identity) {
    SessionLease session = connection_->lease();
    if (session->lost)
        return platform::kConnectionLost;
    char* canonical = sftp_canonicalize_path(session->sftp, connection_->serverPath(path).c_str());
    if (canonical == nullptr)
        return session.error();
    real = canonical;
    ssh_string_free_char(canonical);
    Attributes a(sftp_stat(session->sftp, real.c_str()));
    if (!a)
        return session.error();
    if (!isFolder(a.value))
        return ENOTDIR;
    // No device and inode over SFTP: the server and the canonical path stand for them.
    const std::size_t server = std::hash<std::string>{}(connection_->host());
    identity.device = (std::uint64_t{1} << 63) | server;
    identity.inode = std::hash<std::string>{}(real) | 1;
    return 0;
}

} // namespace velmora::sftp
