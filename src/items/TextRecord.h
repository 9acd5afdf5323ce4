#pragma once

#include <istream>
#include <ostream>
#include <string>

namespace velmora {

// A record kept in one of the program's text files (profile, batch, exclusion sections).
class TextRecord {
public:
    virtual ~TextRecord() = default;
    virtual bool write(std::ostream& out) const = 0;
    virtual bool read(std::istream& in) = 0;

    // The version number found in the file read last (profile or batch); the exclusion reader
    // consults it while the same file is read. Process-wide.
    static double lastReadVersion();
    static void setLastReadVersion(double version);

    // Reads one key: characters up to and including '=' (at most 1023), every white-space
    // character removed wherever it stands. Empty when the stream ended before any character.
    static std::string readKey(std::istream& in);
    // The same, telling an empty key ("=" alone) from the end of the stream: false only when no
    // character could be read (the stream is then failed).
    static bool readKey(std::istream& in, std::string& key);
    // Skips what stands between a list's key and its first entry: blanks after the key and empty
    // lines. Unlike skipping all white space, this keeps the leading blanks of the first entry,
    // so that the entry reads back as it was written.
    static void skipToListStart(std::istream& in);
};

} // namespace velmora
