// Copies a tree into an empty folder through the local location access and its file
// commands (a worker per file under the command timeout), the way a run adds files, so the
// cost of the command machinery can be timed beside cp -a.
#include "QuietFrontEnd.h"
#include "engine/FileCommand.h"
#include "engine/FrontEndPort.h"
#include "engine/LocalLocationAccess.h"
#include "platform/FileSystem.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace velmora;

int failures = 0;

void copyTree(LocalLocationAccess& access, FileCommands& commands, const std::string& source,
              const std::string& target) {
    std::vector<FileItemPtr> files, folders;
    if (!access.readFolder(source, files, folders)) {
        std::fprintf(stderr, "cannot read %s: %s\n", source.c_str(), commands.reason().get().c_str());
        ++failures;
        return;
    }
    for (const FileItemPtr& file : files) {
        FileItem copy = *file;
        copy.folder = target;
        if (!access.copyFile(*file, copy)) {
            std::fprintf(stderr, "cannot copy %s: %s\n", file->fullPath().c_str(),
                         commands.reason().get().c_str());
            ++failures;
        }
    }
    for (const FileItemPtr& folder : folders) {
        FileItem copy = *folder;
        copy.folder = target;
        if (!access.createFolder(copy, -1)) {
            ++failures;
            continue;
        }
        copyTree(access, commands, folder->folderForm(), copy.folderForm());
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: copy_commands SOURCE/ TARGET/\n");
        return 64;
    }
    QuietFrontEnd frontEnd;
    std::atomic<bool> stop{false};
    LastReason reason;
    std::uint64_t workDone = 0;
    FileCommands commands(platform::realFileSystem(), frontEnd, stop, reason);
    LocalLocationAccess access(commands, stop, workDone);
    std::string source = argv[1], target = argv[2];
    if (source.back() != '/')
        source += '/';
    if (target.back() != '/')
        target += '/';
    commands.createFolder(target);
    copyTree(access, commands, source, target);
    return failures == 0 ? 0 : 1;
}
