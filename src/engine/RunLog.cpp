#include "engine/RunLog.h"

#include "engine/ErrorReporter.h"
#include "engine/LastReason.h"
#include "engine/SyncResults.h"
#include "items/DateValue.h"
#include "items/TimeValue.h"
#include "platform/LogFile.h"

#include <cerrno>

namespace velmora {

namespace {

// Short weekday, two-digit day, long month name, four-digit year; then hh:mm:ss.
constexpr unsigned kLogDateFormat = 0x60A;
constexpr unsigned kLogTimeFormat = 0x70;

} // namespace

RunLog::RunLog(Clock clock, platform::FileSystem& fileSystem)
    : clock_(std::move(clock)), fileSystem_(&fileSystem) {}

bool RunLog::open(const std::string& path, bool append) {
    close();
    writeError_ = 0;
    platform::FileHandle file;
    openError_ = fileSystem_->openLog(path, append, file, identity_);
    if (openError_ != 0)
        return false;
    // The buffer owns the descriptor from here on and closes it.
    buffer_ = std::make_unique<__gnu_cxx::stdio_filebuf<char>>(file.release(), std::ios::out);
    stream_ = std::make_unique<std::ostream>(buffer_.get());
    write("\n\n");
    writeRepeated('=', 50);
    write('\n');
    writeRepeated('=', 50);
    write("\n\nSynchronisation started at:\n");
    write(timestamp());
    write('\n');
    flush();
    return true;
}

bool RunLog::isOpen() const {
    return stream_ && buffer_->is_open() && stream_->good();
}

void RunLog::close() {
    flush();
    stream_.reset();
    buffer_.reset();
    identity_ = {};
}

void RunLog::flush() {
    if (!isOpen())
        return;
    errno = 0;
    stream_->flush();
    noteWriteFailure();
}

void RunLog::noteWriteFailure() {
    if (!stream_->good() && writeError_ == 0)
        writeError_ = errno != 0 ? errno : EIO;
}

void RunLog::write(std::string_view text) {
    if (!isOpen())
        return;
    errno = 0;
    stream_->write(text.data(), static_cast<std::streamsize>(text.size()));
    noteWriteFailure();
}

void RunLog::write(char c) {
    if (!isOpen())
        return;
    errno = 0;
    stream_->put(c);
    noteWriteFailure();
}

void RunLog::writeNumber(std::int64_t value) {
    write(std::to_string(value));
}

void RunLog::writeFlag(bool value) {
    write(value ? "on" : "off");
}

void RunLog::writeRepeated(char c, int count) {
    if (count > 0)
        write(std::string(static_cast<std::size_t>(count), c));
}

void RunLog::sectionHeading(std::string_view title) {
    write('\n');
    writeRepeated('-', 30);
    write("\n\n");
    if (!title.empty()) {
        write(title);
        write("\n\n");
    }
}

void RunLog::listHeading(std::string_view title) {
    writeRepeated('+', 20);
    write('\n');
    write(title);
    write('\n');
    writeRepeated('+', 20);
    write('\n');
}

void RunLog::writeLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        write('\n');
        write(line);
    }
}

void RunLog::writeItems(const ItemSet& items) {
    for (const FileItemPtr& item : items) {
        write(item->fullPath());
        write('\n');
    }
}

void RunLog::writeOptions(const ProfileOptions& profile) {
    const auto flagLine = [this](std::string_view label, bool value) {
        write(label);
        writeFlag(value);
        write('\n');
    };
    flagLine("Delete files: ", profile.deleteMissing);
    flagLine("Add files: ", profile.addMissing);
    flagLine("Confirm deletes: ", profile.confirmDeletes);
    flagLine("Check actions: ", profile.checkActions);
    flagLine("Check sub-folders: ", profile.checkSubFolders);
    flagLine("Overwrite read only: ", profile.overwriteReadOnly);
    flagLine("Exit on completion: ", profile.exitOnCompletion);
    flagLine("Silent mode: ", profile.silentMode);
    write("Auto start: ");
    write(profile.autoStart == AutoStartDirection::OneToTwo   ? "Location 1 to Location 2"
          : profile.autoStart == AutoStartDirection::TwoToOne ? "Location 2 to Location 1"
                                                              : "off");
    write('\n');
    write("Compare on: ");
    write(profile.compareOnTime ? "time" : "file size");
    write('\n');
    write("Time adjustment: ");
    writeNumber(profile.adjustHours);
    write("Hrs ");
    writeNumber(profile.adjustMinutes);
    write("Mins\n");
}

void RunLog::writeResults(const SyncResults& results) {
    if (!isOpen())
        return;
    // Other tools may look for this heading, so a stopped run keeps it and says so below.
    sectionHeading("Synchronisation completed at:");
    write(timestamp());
    write("\n\n");
    if (!results.interruption.empty()) {
        write(results.interruption);
        write("\n\n");
    }

    write("Results Summary:\n");
    const auto countLine = [this](std::int64_t count, std::string_view label) {
        writeNumber(count);
        write(label);
    };
    countLine(results.counts.overwrittenFiles, "\toverwritten files\n");
    countLine(results.counts.addedFiles, "\tadded files\n");
    countLine(results.counts.deletedFiles, "\tdeleted files\n");
    countLine(results.counts.addedFolders, "\tadded folders\n");
    countLine(results.counts.deletedFolders, "\tdeleted folders\n");

    sectionHeading("Problems:");
    writeLines(results.problems);

    sectionHeading("Results Details:");
    const std::pair<const char*, const ItemSet*> sets[] = {
        {"Overwritten Files", &results.overwritten},
        {"Added Files", &results.added},
        {"Deleted Files", &results.deleted},
        {"Added Folders", &results.addedFolders},
        {"Deleted Folders", &results.deletedFolders},
        {"Failed Overwritten Files", &results.failedOverwritten},
        {"Failed Added Files", &results.failedAdded},
        {"Failed Deleted Files", &results.failedDeleted},
        {"Failed Added Folders", &results.failedAddedFolders},
        {"Failed Deleted Folders", &results.failedDeletedFolders},
    };
    for (const auto& [title, set] : sets) {
        if (set->empty())
            continue;
        listHeading(title);
        writeItems(*set);
    }
    if (!results.removedLeftovers.empty()) {
        listHeading("Removed Temporary Files Of Interrupted Runs");
        for (const std::string& path : results.removedLeftovers) {
            write(path);
            write('\n');
        }
    }
    flush();
}

std::string RunLog::timestamp() const {
    const platform::LocalTime now = clock_();
    DateValue date;
    date.set(now.day, now.month, now.year);
    TimeValue time;
    time.set(now.hour, now.minute, now.second);
    return date.format(kLogDateFormat) + " " + time.format(kLogTimeFormat);
}

bool startRunLog(RunLog& log, ErrorReporter& reporter, const ProfileOptions& profile,
                 const std::string& source, const std::string& target, const std::string& profilePath) {
    if (!profile.logOn)
        return false;
    if (!log.open(profile.logPath, profile.logAppend)) {
        reporter.lastReason().setFromError(log.openError());
        reporter.report("CSynchroniserDlg::startLogFile", "Could not open log file: " + profile.logPath,
                        true);
        return false;
    }
    log.sectionHeading("");
    log.write("Profile: ");
    log.write(profilePath);
    log.write("\n");
    log.write("Source: ");
    log.write(source);
    log.write('\n');
    log.write("Dest: ");
    log.write(target);
    log.write('\n');
    log.sectionHeading("Options");
    log.writeOptions(profile);
    log.write('\n');
    log.sectionHeading("Errors");
    log.flush();
    if (log.isOpen())
        return true;
    // Opened, but its start could not be written (a full disk): say so now, not only in the report.
    reporter.lastReason().setFromError(log.writeError());
    reporter.report("CSynchroniserDlg::startLogFile", "Could not write log file: " + profile.logPath, true);
    return false;
}

} // namespace velmora
