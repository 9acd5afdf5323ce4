#pragma once

#include "engine/ItemCollections.h"
#include "items/ProfileOptions.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"

#include <cstdint>
#include <ext/stdio_filebuf.h>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class ErrorReporter;
struct SyncResults;

// The plain-text log of one synchronisation: a start header, the options, every error reported
// while it is open and the results section. Every write is skipped while the log is not open.
// A failed write (disk full) silences the rest of the log and is kept in writeError(), so that
// the run can say its log is incomplete instead of ending as if all were well.
class RunLog {
public:
    using Clock = std::function<platform::LocalTime()>;

    // The clock gives the local date and time written into the headers; the log file is opened
    // through `fileSystem`.
    explicit RunLog(Clock clock = platform::localNow,
                    platform::FileSystem& fileSystem = platform::realFileSystem());

    // Closes any open log, then opens `path` (created when missing), appending or truncating,
    // and writes the start header. False on failure; openError() then tells why.
    bool open(const std::string& path, bool append);
    bool isOpen() const;
    // The errno of the last failed open, 0 when it is not known.
    int openError() const { return openError_; }
    // The errno of the first write that failed since the last open, 0 when none did.
    int writeError() const { return writeError_; }
    // Which file the open log is (unknown while none is open), so that no run touches it.
    const platform::FileIdentity& identity() const { return identity_; }
    void close();
    // Hands what was written to the system, so that a crash loses little of the log.
    void flush();

    void write(std::string_view text);
    void write(char c);
    void writeNumber(std::int64_t value);
    void writeFlag(bool value); // "on" or "off"
    void writeRepeated(char c, int count);

    // A new line, 30 '-', two new lines; then the title and two new lines unless it is empty.
    void sectionHeading(std::string_view title);
    // 20 '+', the title and 20 '+', one line each.
    void listHeading(std::string_view title);
    // For each text, a new line then the text.
    void writeLines(const std::vector<std::string>& lines);
    // Each item's full path followed by a new line, in the set's order.
    void writeItems(const ItemSet& items);
    // The options block of a run, one "name: value" line each.
    void writeOptions(const ProfileOptions& profile);
    // The results section the report writes when it opens: completion time, summary, problems
    // and the non-empty result sets.
    void writeResults(const SyncResults& results);

    // The current local date and time as the headers show them: "Sun 07 December 2008 14:05:09".
    std::string timestamp() const;

private:
    // Keeps the reason of the first failed write once the stream has gone bad.
    void noteWriteFailure();

    Clock clock_;
    platform::FileSystem* fileSystem_;
    std::unique_ptr<__gnu_cxx::stdio_filebuf<char>> buffer_;
    std::unique_ptr<std::ostream> stream_;
    platform::FileIdentity identity_;
    int openError_ = 0;
    int writeError_ = 0;
};

// Starts a run's log when the profile asks for one: opens it at the profile's log path and writes
// the profile path, source, target and options. A log that cannot be opened is reported
// ("Could not open log file: " and the reason), as is one whose start cannot be written ("Could
// not write log file: "), and the run goes on without one. Answers whether the log is open.
bool startRunLog(RunLog& log, ErrorReporter& reporter, const ProfileOptions& profile,
                 const std::string& source, const std::string& target, const std::string& profilePath);

} // namespace velmora
