#include "app/ProfileFiles.h"

#include "engine/ErrorReporter.h"
#include "engine/LastReason.h"
#include "platform/AtomicFile.h"
#include "profiles/Batch.h"
#include "profiles/FileKind.h"
#include "profiles/Profile.h"

#include <sstream>

namespace velmora {

namespace {

const char* saveContext(SaveCommand command) {
    return command == SaveCommand::Save ? "CSynchroniserDlg::OnSave" : "CSynchroniserDlg::OnSaveas";
}

// Reads the record from the whole file; false (reported) when the file cannot be read.
bool readFile(const std::string& path, std::string& contents, ErrorReporter& reporter, const char* context) {
    if (platform::readWholeFile(path, contents) != 0) {
        reporter.report(context, "Could not open file: " + path);
        return false;
    }
    return true;
}

// Writes the record to memory first: a value that cannot be kept in the file (a path with a line
// break) or a failed save leaves the old file as it was and the record still modified.
template <typename Record>
bool saveRecord(const std::string& path, const Record& record, ErrorReporter& reporter, SaveCommand command) {
    const bool wasModified = record.modified;
    std::ostringstream text;
    if (!record.write(text)) {
        record.modified = wasModified;
        reporter.report(saveContext(command),
                        "Could not save file: " + path +
                            "\nA path in it holds a line break, which the file cannot keep");
        return false;
    }
    if (const int error = platform::writeFileAtomically(path, text.str()); error != 0) {
        record.modified = wasModified;
        reporter.lastReason().setFromError(error);
        reporter.report(saveContext(command), "Could not open file: " + path);
        return false;
    }
    return true;
}

} // namespace

bool loadProfileFile(const std::string& path, Profile& profile, ErrorReporter& reporter) {
    constexpr const char* context = "CSynchroniserDlg::loadProfileData";
    std::string contents;
    if (!readFile(path, contents, reporter, context))
        return false;
    std::istringstream in(contents);
    if (!profile.read(in)) {
        reporter.report(context, path + " is not a valid Velmora profile");
        return false;
    }
    return true;
}

bool saveProfileFile(const std::string& path, const Profile& profile, ErrorReporter& reporter,
                     SaveCommand command) {
    return saveRecord(path, profile, reporter, command);
}

bool loadBatchFile(const std::string& path, Batch& batch, ErrorReporter& reporter) {
    constexpr const char* context = "CSynchroniserDlg::loadBatchData";
    std::string contents;
    if (!readFile(path, contents, reporter, context))
        return false;
    std::istringstream in(contents);
    if (!batch.read(in)) {
        reporter.report(context, path + " is not a valid Velmora batch file");
        return false;
    }
    return true;
}

bool saveBatchFile(const std::string& path, const Batch& batch, ErrorReporter& reporter,
                   SaveCommand command) {
    return saveRecord(path, batch, reporter, command);
}

std::string damagedProfileNotice(const std::string& path, const Profile& profile) {
    return path + " is damaged: reading stopped at line " + std::to_string(profile.readStop.line) + " (" +
           profile.readStop.key + "). Check the profile before you run it.";
}

std::string windowTitleFor(const std::string& path) {
    return "Velmora - " + fileTitleOf(path);
}

} // namespace velmora
