#pragma once

#include "items/ExclusionSet.h"
#include "items/ProfileOptions.h"
#include "items/TextRecord.h"

#include <cstdint>
#include <string>

namespace velmora {

// Where reading a profile file stopped before its end: a value that could not be read, or a key
// or exclusion list cut off by the end of the file. What came after that place is lost, so the
// profile must not run unseen. Line 0: the whole file was read.
struct ReadStop {
    int line = 0; // 1-based
    std::string key;
};

// Everything that defines one synchronisation, kept in a ".vmp" file of "key=value" lines.
class Profile : public TextRecord, public ProfileOptions {
public:
    // The version this program writes into its profile and batch files.
    static constexpr double kFileVersion = 1.09;

    explicit Profile(PathStyle style = PathStyle::Posix) : exclusions(style) {}

    // Every field but `valid` back to its default; both exclusion lists emptied.
    void reset();

    // Writes every line with CR LF, then clears `modified`. False when a value could not be
    // written faithfully (a text with a line break) or the stream failed: the caller must not
    // keep what was written.
    bool write(std::ostream& out) const override;
    // Reads a profile file; answers `valid`. A file whose first key is not the version key is
    // rejected and leaves the defaults; a value that cannot be parsed ends the reading there and
    // `readStop` says where (the fields read before keep their values, so the profile can be
    // repaired).
    bool read(std::istream& in) override;
    // Reading stopped early: the profile is damaged.
    bool damaged() const { return readStop.line != 0; }

    // Set by every edit the user makes; cleared by reset, write and read.
    mutable bool modified = false;
    // Whether the last read found the version key first.
    bool valid = false;
    // Where the last read stopped early; cleared by reset.
    ReadStop readStop;

    std::string location1;
    std::string location2;
    ExclusionSet exclusions;
};

// The version number in its shortest decimal form ("1.09").
std::string versionText(double version);

} // namespace velmora
