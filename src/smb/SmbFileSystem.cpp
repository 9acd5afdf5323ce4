#include "smb/SmbFileSystem.h"

#include "platform/Clock.h"
#include "platform/ErrorText.h"
#include "platform/FileCopy.h"
#include "platform/PercentEncoding.h"
#include "platform/WriteInPieces.h"

#include <cerrno>
#include <fcntl.h>
#include <libsmbclient.h>
#include <mutex>
#include <sys/stat.h>
#include <sys/time.h>
#include <vector>

namespace velmora::smb {
namespace {

constexpr std::size_t kChunk = 1u << 20; // SMB2 moves up to a few MiB a request

// libsmbclient keeps process-wide state (its talloc stack among it) that two threads must not use
// at once, whatever context each has: every call of the library is made under this lock. A copy
// between two shares of one server takes it twice on one thread.
std::recursive_mutex& libraryLock() {
    static std::recursive_mutex lock;
    return lock;
}

// What a failed call left in errno, as the program names it: a connection that went away is told
// apart from a refusal.
int lastError() {
    const int error = errno;
    switch (error) {
    case ECONNRESET:
    case EPIPE:
    case ENOTCONN:
    case ECONNABORTED:
        return platform::kConnectionLost;
    case 0:
        return EIO;
    default:
        return error;
    }
}

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

bool asSeen(const struct stat& info, const platform::SeenTarget& seen) {
    return !S_ISDIR(info.st_mode) && static_cast<std::uint64_t>(info.st_size) == seen.size &&
           (!seen.modifiedSeconds || info.st_mtime == *seen.modifiedSeconds);
}

} // namespace

// One libsmbclient context: a context may be used by one thread at a time.
struct SmbContext {
    SMBCCTX* value = nullptr;
    ~SmbContext() {
        if (value != nullptr) {
            const std::lock_guard lock(libraryLock());
            smbc_free_context(value, 1);
        }
    }
};

class SmbConnection {
public:
    explicit SmbConnection(SmbLogin login) : login_(std::move(login)) {}

    // The library for one call, with the connection's context.
    class Lease {
    public:
        explicit Lease(SmbConnection& owner) : lock_(libraryLock()) {
            if (!owner.context_)
                owner.context_ = owner.makeContext();
            context_ = owner.context_.get();
        }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        SMBCCTX* operator*() const { return context_ != nullptr ? context_->value : nullptr; }

    private:
        std::unique_lock<std::recursive_mutex> lock_;
        SmbContext* context_ = nullptr;
    };

    std::unique_ptr<SmbContext> makeContext() {
        auto context = std::make_unique<SmbContext>();
        context->value = smbc_new_context();
        if (context->value == nullptr)
            return nullptr;
        SMBCCTX* c = context->value;
        smbc_setOptionUserData(c, this);
        smbc_setFunctionAuthDataWithContext(c, &SmbConnection::authenticate);
        smbc_setOptionUseKerberos(c, 0);
        smbc_setOptionFallbackAfterKerberos(c, 1);
        smbc_setTimeout(c, static_cast<int>(login_.timeoutSeconds * 1000));
        if (smbc_init_context(c) == nullptr) {
            smbc_free_context(c, 1);
            context->value = nullptr;
            return nullptr;
        }
        return context;
    }

    Lease lease() { return Lease(*this); }

    std::string url(const std::string& path) const {
        const remote::RemoteAddress& a = login_.address;
        std::string out = "smb://";
        out += a.host.find(':') != std::string::npos ? "[" + a.host + "]" : a.host;
        if (a.port != 0)
            out += ":" + std::to_string(a.port);
        return out + platform::percentEncoded(path);
    }

    const SmbLogin& login() const { return login_; }
    void setCredentials(SmbCredentials credentials) {
        std::lock_guard lock(mutex_);
        login_.credentials = std::move(credentials);
    }

private:
    static void authenticate(SMBCCTX* context, const char*, const char*, char* workgroup, int workgroupLength,
                             char* user, int userLength, char* password, int passwordLength) {
        auto* self = static_cast<SmbConnection*>(smbc_getOptionUserData(context));
        std::lock_guard lock(self->mutex_);
        auto put = [](char* into, int length, const std::string& text) {
            if (length <= 0)
                return;
            const std::size_t n = std::min(text.size(), static_cast<std::size_t>(length - 1));
            text.copy(into, n);
            into[n] = '\0';
        };
        if (self->login_.credentials) {
            const SmbCredentials& given = *self->login_.credentials;
            put(user, userLength, given.user);
            put(password, passwordLength, given.password);
            if (!given.domain.empty())
                put(workgroup, workgroupLength, given.domain);
        } else if (!self->login_.address.user.empty()) {
            put(user, userLength, self->login_.address.user);
        } else {
            put(user, userLength, "guest");
            put(password, passwordLength, "");
        }
    }

    SmbLogin login_;
    std::mutex mutex_; // the credentials, which the library's callback reads
    std::unique_ptr<SmbContext> context_;
};

namespace {

struct RemoteFile {
    SMBCCTX* context;
    SMBCFILE* value;
    RemoteFile(SMBCCTX* c, SMBCFILE* f) : context(c), value(f) {}
    ~RemoteFile() { close(); }
    RemoteFile(const RemoteFile&) = delete;
    RemoteFile& operator=(const RemoteFile&) = delete;
    int close() {
        const int result = value != nullptr ? smbc_getFunctionClose(context)(context, value) : 0;
        value = nullptr;
        return result;
    }
};

int statOf(SMBCCTX* c, const std::string& url, struct stat& info) {
    return smbc_getFunctionStat(c)(c, url.c_str(), &info) == 0 ? 0 : lastError();
}

} // namespace

namespace {

int sharesOf(SmbConnection& connection, std::vector<ShareInfo>& out) {
    SmbConnection::Lease lease = connection.lease();
    SMBCCTX* c = *lease;
    if (c == nullptr)
        return EIO;
    SMBCFILE* server = smbc_getFunctionOpendir(c)(c, connection.url("/").c_str());
    if (server == nullptr)
        return lastError();
    out.clear();
    while (const smbc_dirent* entry = smbc_getFunctionReaddir(c)(c, server)) {
        const std::string name = entry->name;
        if (entry->smbc_type != SMBC_FILE_SHARE || name.empty() || name.back() == '$')
            continue;
        out.push_back({name, entry->comment != nullptr ? entry->comment : ""});
    }
    smbc_getFunctionClosedir(c)(c, server);
    return 0;
}

} // namespace

int browseServers(long timeoutSeconds, std::vector<std::string>& out) {
    SmbLogin guest;
    guest.timeoutSeconds = timeoutSeconds;
    SmbConnection connection(guest);
    SmbConnection::Lease lease = connection.lease();
    SMBCCTX* c = *lease;
    if (c == nullptr)
        return EIO;
    auto entriesOf = [c](const std::string& url, unsigned type, std::vector<std::string>& names) {
        SMBCFILE* folder = smbc_getFunctionOpendir(c)(c, url.c_str());
        if (folder == nullptr)
            return lastError();
        while (const smbc_dirent* entry = smbc_getFunctionReaddir(c)(c, folder))
            if (entry->smbc_type == type && entry->name[0] != '\0')
                names.push_back(entry->name);
        smbc_getFunctionClosedir(c)(c, folder);
        return 0;
    };
    std::vector<std::string> workgroups;
    if (const int error = entriesOf("smb://", SMBC_WORKGROUP, workgroups))
        return error;
    out.clear();
    for (const std::string& workgroup : workgroups)
        entriesOf("smb://" + platform::percentEncoded(workgroup), SMBC_SERVER, out);
    return 0;
}

int listShares(const SmbLogin& login, std::vector<ShareInfo>& out) {
    SmbConnection connection(login);
    return sharesOf(connection, out);
}

int SmbFileSystem::listShares(std::vector<ShareInfo>& out) {
    return sharesOf(*connection_, out);
}

SmbFileSystem::SmbFileSystem(std::unique_ptr<SmbConnection> connection)
    : connection_(std::move(connection)) {}
SmbFileSystem::~SmbFileSystem() = default;

namespace {

// Tries the login on the share ("/" for the server's list of shares), asking for other credentials
// while the server refuses them: "" once in, otherwise why not.
std::string logInTo(SmbConnection& connection, const std::string& share, const SmbLogin& how) {
    const std::string host = connection.login().address.host;
    const std::string where = "Could not connect to " + host + ": ";
    for (int attempt = 0;; ++attempt) {
        int result = 0;
        {
            SmbConnection::Lease lease = connection.lease();
            if (*lease == nullptr)
                return where + "could not start an SMB client";
            struct stat info {};
            std::vector<ShareInfo> shares;
            result =
                share == "/" ? sharesOf(connection, shares) : statOf(*lease, connection.url(share), info);
        }
        const bool refused = result == EACCES || result == EPERM;
        if (attempt > 0 && how.credentialsAnswered && (result == 0 || refused))
            how.credentialsAnswered(result == 0);
        if (result == 0)
            return {};
        if (!refused)
            return where + platform::errorText(result);
        std::optional<SmbCredentials> asked;
        if (attempt < 3 && how.askCredentials)
            asked = how.askCredentials(host + share);
        if (!asked)
            return "The server " + host + " did not accept the user name and password" +
                   (share == "/" ? std::string() : " for the share " + share.substr(1));
        connection.setCredentials(*asked);
    }
}

std::string shareOf(const std::string& path) {
    return "/" + path.substr(1, path.find('/', 1) - 1);
}

} // namespace

std::unique_ptr<SmbFileSystem> SmbFileSystem::connect(const SmbLogin& login, std::string& error) {
    auto connection = std::make_unique<SmbConnection>(login);
    // Without a share the login is tried on the server's list of shares.
    error = logInTo(*connection, shareOf(login.address.path), login);
    if (!error.empty())
        return nullptr;
    return std::unique_ptr<SmbFileSystem>(new SmbFileSystem(std::move(connection)));
}

std::string SmbFileSystem::logIn(const std::string& path, const SmbLogin& how) {
    return logInTo(*connection_, shareOf(path), how);
}

int SmbFileSystem::getAttributes(const std::string& path, platform::FileAttributes& out) {
    SmbConnection::Lease lease = connection_->lease();
    struct stat info {};
    if (int error = statOf(*lease, connection_->url(withoutTrailingSlash(path)), info))
        return error;
    out = {};
    out.mode = static_cast<std::uint32_t>(info.st_mode);
    out.isDirectory = S_ISDIR(info.st_mode);
    out.readOnly = (info.st_mode & 0222) == 0;
    out.size = out.isDirectory ? 0 : static_cast<std::uint64_t>(info.st_size);
    return 0;
}

int SmbFileSystem::setAttributes(const std::string& path, std::uint32_t mode) {
    SmbConnection::Lease lease = connection_->lease();
    SMBCCTX* c = *lease;
    return smbc_getFunctionChmod(c)(c, connection_->url(path).c_str(), mode & 07777) == 0 ? 0 : lastError();
}

int SmbFileSystem::readFile(const std::string& path, platform::FileStamp& stamp,
                            const platform::ByteSink& sink, platform::CommandGate* gate) {
    SmbConnection::Lease lease = connection_->lease();
    SMBCCTX* c = *lease;
    const std::string url = connection_->url(path);
    struct stat before {};
    if (int error = statOf(c, url, before))
        return error;
    if (S_ISDIR(before.st_mode))
        return EISDIR;
    stamp = {static_cast<std::uint32_t>(before.st_mode & 0777), before.st_mtim.tv_sec,
             before.st_mtim.tv_nsec};
    RemoteFile in(c, smbc_getFunctionOpen(c)(c, url.c_str(), O_RDONLY, 0));
    if (in.value == nullptr)
        return lastError();
    std::vector<char> buffer(kChunk);
    for (;;) {
        if (platform::isAbandoned(gate))
            return ECANCELED;
        const ssize_t got = smbc_getFunctionRead(c)(c, in.value, buffer.data(), buffer.size());
        if (got < 0)
            return lastError();
        if (got == 0)
            break;
        if (int error = sink(buffer.data(), static_cast<std::size_t>(got)); error != 0)
            return error;
        platform::progressed(gate);
    }
    in.close();
    struct stat after {};
    if (int error = statOf(c, url, after))
        return error;
    return after.st_size == before.st_size && after.st_mtime == before.st_mtime
               ? 0
               : platform::kChangedWhileCopied;
}

int SmbFileSystem::writeFile(const std::string& target, const platform::ByteFill& fill, bool failIfExists,
                             platform::CommandGate* gate, bool allowReadOnly,
                             const platform::SeenTarget* seen) {
    SmbConnection::Lease lease = connection_->lease();
    SMBCCTX* c = *lease;
    const std::string targetUrl = connection_->url(target);
    const bool mustBeFree = failIfExists || (seen && !seen->present);
    struct stat existing {};
    const int lookedUp = statOf(c, targetUrl, existing);
    const bool exists = lookedUp == 0;
    if (lookedUp != 0 && lookedUp != ENOENT)
        return lookedUp;
    if (exists) {
        if (mustBeFree)
            return failIfExists ? EEXIST : platform::kChangedAfterAnalysis;
        if (seen && !asSeen(existing, *seen))
            return platform::kChangedAfterAnalysis;
        if (S_ISDIR(existing.st_mode))
            return EISDIR;
        if (!allowReadOnly && (existing.st_mode & 0222) == 0)
            return EACCES;
    }
    const std::string folder = parentOf(target);
    std::string temporary;
    RemoteFile out(c, nullptr);
    for (int attempt = 0; out.value == nullptr; ++attempt) {
        temporary = folder + "/" + platform::temporarySibling(nameOf(target));
        out.value = smbc_getFunctionOpen(c)(c, connection_->url(temporary).c_str(),
                                            O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (out.value == nullptr && (errno != EEXIST || attempt == 9))
            return lastError();
    }
    const std::string temporaryUrl = connection_->url(temporary);
    auto fail = [&](int error) {
        out.close();
        smbc_getFunctionUnlink(c)(c, temporaryUrl.c_str());
        return error;
    };
    platform::FileStamp stamp;
    const int filled = fill(
        [&](const char* data, std::size_t size) {
            return platform::writeInPieces(
                data, size, kChunk, gate,
                [&](const char* piece, std::size_t count) {
                    return smbc_getFunctionWrite(c)(c, out.value, piece, count);
                },
                [] { return lastError(); });
        },
        stamp);
    if (filled != 0)
        return fail(filled);
    if (out.close() != 0)
        return fail(lastError());
    struct timeval times[2] = {
        {static_cast<time_t>(stamp.modifiedSeconds), stamp.modifiedNanoseconds / 1000},
        {static_cast<time_t>(stamp.modifiedSeconds), stamp.modifiedNanoseconds / 1000}};
    if (smbc_getFunctionUtimes(c)(c, temporaryUrl.c_str(), times) != 0)
        return fail(lastError());
    if (!platform::commit(gate))
        return fail(ECANCELED);
    auto rename = smbc_getFunctionRename(c);
    int error = 0;
    if (!exists) {
        // A rename never replaces a file on a share: what took the name meanwhile stays.
        if (rename(c, temporaryUrl.c_str(), c, targetUrl.c_str()) != 0)
            error = errno == EEXIST ? (failIfExists ? EEXIST : platform::kChangedAfterAnalysis) : lastError();
    } else {
        // The old file steps aside under a name of its own until the copy has its name.
        const std::string asideUrl =
            connection_->url(folder + "/" + platform::temporarySibling(nameOf(target)) + "-old");
        if (rename(c, targetUrl.c_str(), c, asideUrl.c_str()) != 0) {
            error = lastError();
        } else if (rename(c, temporaryUrl.c_str(), c, targetUrl.c_str()) != 0) {
            error = lastError();
            rename(c, asideUrl.c_str(), c, targetUrl.c_str());
        } else {
            smbc_getFunctionChmod(c)(c, asideUrl.c_str(), 0644); // a read-only file cannot be unlinked there
            smbc_getFunctionUnlink(c)(c, asideUrl.c_str());
        }
    }
    if (error != 0)
        return fail(error);
    // The DOS read-only attribute last: a read-only file could not have been renamed into place.
    if ((stamp.mode & 0222) == 0)
        smbc_getFunctionChmod(c)(c, targetUrl.c_str(), stamp.mode & 0777);
    return 0;
}

int SmbFileSystem::copyFile(const std::string& source, const std::string& target, bool failIfExists,
                            platform::CommandGate* gate, bool allowReadOnly,
                            const platform::SeenTarget* seen) {
    // Both ends on this server: down and up again (two contexts; more are opened when needed).
    return writeFile(
        target,
        [&](const platform::ByteSink& sink, platform::FileStamp& stamp) {
            return readFile(source, stamp, sink, gate);
        },
        failIfExists, gate, allowReadOnly, seen);
}

int SmbFileSystem::moveFile(const std::string& source, const std::string& target) {
    SmbConnection::Lease lease = connection_->lease();
    SMBCCTX* c = *lease;
    struct stat info {};
    if (statOf(c, connection_->url(target), info) == 0)
        return EEXIST;
    return smbc_getFunctionRename(c)(c, connection_->url(source).c_str(), c,
                                     connection_->url(target).c_str()) == 0
               ? 0
               : lastError();
}

int SmbFileSystem::deleteFile(const std::string& path, bool allowReadOnly, const platform::SeenTarget* seen) {
    SmbConnection::Lease lease = connection_->lease();
    SMBCCTX* c = *lease;
    const std::string url = connection_->url(path);
    struct stat info {};
    if (int error = statOf(c, url, info))
        return error;
    if (S_ISDIR(info.st_mode))
        return EISDIR;
    if (seen && !asSeen(info, *seen))
        return platform::kChangedAfterAnalysis;
    const bool readOnly = (info.st_mode & 0222) == 0;
    if (readOnly && !allowReadOnly)
        return EACCES;
    // The share itself refuses to delete a read-only file: the attribute goes first.
    if (readOnly && smbc_getFunctionChmod(c)(c, url.c_str(), 0644) != 0)
        return lastError();
    return smbc_getFunctionUnlink(c)(c, url.c_str()) == 0 ? 0 : lastError();
}

int SmbFileSystem::createFolder(const std::string& path, std::uint32_t mode) {
    SmbConnection::Lease lease = connection_->lease();
    SMBCCTX* c = *lease;
    return smbc_getFunctionMkdir(c)(c, connection_->url(withoutTrailingSlash(path)).c_str(), mode & 0777) == 0
               ? 0
               : lastError();
}

int SmbFileSystem::removeOwnTemporary(const std::string&) {
    return EPERM; // a file on a share carries no mark of ours
}

int SmbFileSystem::removeFolder(const std::string& path, bool allowReadOnly) {
    SmbConnection::Lease lease = connection_->lease();
    SMBCCTX* c = *lease;
    const std::string url = connection_->url(withoutTrailingSlash(path));
    if (!allowReadOnly) {
        struct stat info {};
        if (int error = statOf(c, url, info))
            return error;
        if ((info.st_mode & 0222) == 0)
            return EACCES;
    }
    return smbc_getFunctionRmdir(c)(c, url.c_str()) == 0 ? 0 : lastError();
}

int SmbFileSystem::listFolder(const std::string& path,
                              const std::function<bool(const platform::DirEntry&)>& onEntry) {
    SmbConnection::Lease lease = connection_->lease();
    SMBCCTX* c = *lease;
    SMBCFILE* folder =
        smbc_getFunctionOpendir(c)(c, connection_->url(withoutTrailingSlash(path) + "/").c_str());
    if (folder == nullptr)
        return lastError();
    auto readNext = smbc_getFunctionReaddirPlus2(c);
    bool more = true;
    errno = 0;
    while (more) {
        struct stat info {};
        const libsmb_file_info* entry = readNext(c, folder, &info);
        if (entry == nullptr)
            break;
        const std::string name = entry->name != nullptr ? entry->name : "";
        if (name.empty() || name == "." || name == "..")
            continue;
        platform::DirEntry listed;
        listed.name = name;
        listed.isDirectory = S_ISDIR(info.st_mode);
        listed.size = listed.isDirectory ? 0 : entry->size;
        listed.modifiedSeconds = entry->mtime_ts.tv_sec;
        listed.modified = platform::toLocalTime(entry->mtime_ts.tv_sec);
        more = onEntry(listed);
    }
    const int error = more && errno != 0 && errno != ENOENT ? lastError() : 0;
    smbc_getFunctionClosedir(c)(c, folder);
    return error;
}

int SmbFileSystem::resolveLocation(const std::string& path, std::string& real,
                                   platform::FileIdentity& identity) {
    platform::FileAttributes attributes;
    if (int error = getAttributes(path, attributes))
        return error;
    if (!attributes.isDirectory)
        return ENOTDIR;
    // A share folds letter case: the same folder spelled otherwise is the same folder.
    real = withoutTrailingSlash(path);
    std::string folded = real;
    for (char& ch : folded)
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    identity.device = (std::uint64_t{1} << 62) | std::hash<std::string>{}(connection_->login().address.host);
    identity.inode = std::hash<std::string>{}(folded) | 1;
    return 0;
}

} // namespace velmora::smb
