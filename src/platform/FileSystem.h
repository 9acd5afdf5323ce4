#pragma once

#include "platform/Clock.h"
#include "platform/CommandGate.h"
#include "platform/FileHandle.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora::platform {

// Which file a path or descriptor is, whatever names it has: two paths with the same identity
// are the same file or folder (hard links, bind mounts).
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool known() const { return inode != 0; }
    bool operator==(const FileIdentity&) const = default;
};

// What the program needs to know of a path, from lstat (links are never followed).
struct FileAttributes {
    std::uint32_t mode = 0; // permission bits and file type, as st_mode
    bool isDirectory = false;
    bool isLink = false;
    bool readOnly = false;  // no write bit at all: (mode & 0222) == 0
    std::uint64_t size = 0; // 0 for a folder
    FileIdentity identity;
    std::uint64_t links = 1; // names the file has
};

// One entry of a folder listing. Links are entries of their own (isDirectory false);
// FIFOs, sockets and device files never appear.
struct DirEntry {
    std::string name;
    bool isDirectory = false;
    bool isLink = false;
    std::uint64_t size = 0;           // full 64 bits; 0 for a folder
    LocalTime modified;               // last modification, local time, for display
    std::int64_t modifiedSeconds = 0; // the same instant as seconds since the epoch, for comparing
    FileIdentity identity;
    // A temporary file of this program (its name and mark), left by a run that was killed.
    bool ownTemporary = false;
};

// What a run saw of a target when it planned to change it. A copy or delete given one goes ahead
// only while the target is still that, and otherwise fails with kChangedAfterAnalysis: nothing the
// plan did not show is replaced or deleted. Sizes and whole seconds of the modification time are
// compared, as the listing gave them.
struct SeenTarget {
    bool present = false; // false: the name was free, so a copy must not replace what is there now
    std::uint64_t size = 0;
    std::optional<std::int64_t> modifiedSeconds; // compared when known
};

// What a file carries to its copy besides its bytes: the permission bits and the modification time.
struct FileStamp {
    std::uint32_t mode = 0644;
    std::int64_t modifiedSeconds = 0;
    long modifiedNanoseconds = 0;
};

// Takes the next piece of a file's bytes: 0, or an errno value that ends the copy.
using ByteSink = std::function<int(const char* data, std::size_t size)>;
// Writes a file's bytes through the sink it is given and tells its stamp: 0 or an errno value.
using ByteFill = std::function<int(const ByteSink& sink, FileStamp& stamp)>;

// Every file-system operation of the program. Each returns 0 on success or the errno value of
// the failure, so that results can cross threads without touching errno.
// The real implementation is realFileSystem(); tests substitute their own to inject faults.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The folders a run works in. Every later call on a path beneath one of them resolves that
    // path from the folder without following any link: a folder on the way that has become a
    // link fails the call with ELOOP (or ENOTDIR). Paths elsewhere are used as they stand.
    virtual void setLocationRoots(const std::vector<std::string>& roots) { (void)roots; }

    virtual int getAttributes(const std::string& path, FileAttributes& out) = 0;
    // Sets the permission bits (mode & 07777). Never follows a link.
    virtual int setAttributes(const std::string& path, std::uint32_t mode) = 0;

    // Copies a file (or recreates a link), written unnamed and named only when complete (a
    // temporary sibling renamed over an existing target at once); keeps the source's permission bits and
    // modification time (nanoseconds). A read-only existing target fails with EACCES whoever runs us,
    // unless allowReadOnly: it is then replaced like any other, and the old file keeps its mode (another
    // hard link to it is not touched). With failIfExists an existing target fails with EEXIST. The copy
    // reports its progress to `gate` and commits through it just before it puts the copy in place; when the
    // gate is given up first, the copy stops at the next chance, removes its temporary file and returns
    // ECANCELED without touching the target.
    // With `seen`, the target must still be what the run saw (see SeenTarget), also just before
    // the copy is put in place.
    virtual int copyFile(const std::string& source, const std::string& target, bool failIfExists,
                         CommandGate* gate = nullptr, bool allowReadOnly = false,
                         const SeenTarget* seen = nullptr) = 0;
    // The two halves of a copy between locations of different kinds (a local folder and a remote
    // one): no copy between them can be made in one call. readFile hands a regular file's bytes,
    // from its start, to `sink` and fills in its stamp; a link or a special file is refused (ENOTSUP:
    // links are not carried between kinds of location), and a file that changed while it was read
    // fails with kChangedWhileCopied. writeFile puts in place the file `fill` writes, exactly as
    // copyFile puts a copy: under a temporary name until complete, with the stamp, the gate, the
    // refusals and `seen` alike. Not every file system can; those answer ENOTSUP.
    virtual int readFile(const std::string& path, FileStamp& stamp, const ByteSink& sink, CommandGate* gate);
    virtual int writeFile(const std::string& target, const ByteFill& fill, bool failIfExists,
                          CommandGate* gate, bool allowReadOnly = false, const SeenTarget* seen = nullptr);
    // rename; across file systems a copy then a delete. Fails with EEXIST when the target exists.
    virtual int moveFile(const std::string& source, const std::string& target) = 0;
    // unlink; a read-only file fails with EACCES (our own check) unless allowReadOnly. With `seen`,
    // a file that is no longer what the run saw fails with kChangedAfterAnalysis.
    virtual int deleteFile(const std::string& path, bool allowReadOnly = false,
                           const SeenTarget* seen = nullptr) = 0;
    // mkdir(path, mode & 0777) under the umask.
    virtual int createFolder(const std::string& path, std::uint32_t mode = 0777) = 0;
    // Removes a temporary file this program left (see DirEntry::ownTemporary), read-only or not;
    // anything else, a user's file that merely has such a name included, fails with EPERM.
    virtual int removeOwnTemporary(const std::string& path) = 0;
    // rmdir; a read-only folder fails with EACCES (our own check) unless allowReadOnly.
    virtual int removeFolder(const std::string& path, bool allowReadOnly = false) = 0;

    // Lists a folder (path with or without its trailing '/'), calling onEntry for each entry
    // other than "." and ".."; onEntry returns false to stop early (still a success).
    // A folder that cannot be opened returns its errno: never an empty success. An entry that
    // cannot be examined (other than one deleted meanwhile) also ends the listing with its errno;
    // the entries delivered before it are then incomplete and must not be used as the folder's.
    virtual int listFolder(const std::string& path, const std::function<bool(const DirEntry&)>& onEntry) = 0;

    // Whether this folder's names are matched with letter case ignored, so that names differing in
    // case alone name one file there (vfat, exfat, SMB shares, casefolded ext4 folders). True when
    // that cannot be found out: taking two names for one file never loses a file.
    virtual bool foldsCase(const std::string& folder) = 0;

    // The canonical path of an existing location (links, "." and ".." resolved) and the folder it
    // names, so that two paths to one folder (a link, a bind mount) are told as one: 0 or errno.
    virtual int resolveLocation(const std::string& path, std::string& real, FileIdentity& identity);

    // Opens a run log for writing (see openLogFile): 0 or the reason; on success the open file
    // and which file it is.
    virtual int openLog(const std::string& path, bool append, FileHandle& out, FileIdentity& identity);
};

FileSystem& realFileSystem();

} // namespace velmora::platform
