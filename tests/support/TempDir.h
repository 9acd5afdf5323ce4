#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::test {

// A fresh folder under $TMPDIR (or /tmp) for one test, removed with everything in it when the
// object goes, whatever permission bits the test left behind. Links inside are never followed,
// so a test may point them anywhere. Relative paths below are relative to this folder.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, with its trailing '/'.
    const std::string& path() const { return path_; }
    // path() + relative.
    std::string at(std::string_view relative) const;

    // Writes `bytes` to a file (parent folders are made as needed); returns the full path.
    std::string writeFile(std::string_view relative, std::string_view bytes);
    // The same, then sets the modification time (seconds and nanoseconds since the epoch).
    std::string writeFile(std::string_view relative, std::string_view bytes, std::time_t seconds,
                          long nanoseconds = 0);
    // Makes a folder (and its parents); returns the full path without a trailing '/'.
    std::string makeFolder(std::string_view relative);
    // Makes a symbolic link holding `linkText`; returns the full path.
    std::string makeLink(std::string_view relative, std::string_view linkText);
    // The same, with the link's own modification time.
    std::string makeLink(std::string_view relative, std::string_view linkText, std::time_t seconds);
    // Sets the permission bits of a path (never through a link).
    void setMode(std::string_view relative, unsigned mode);
    // Lets every user into the folder, for tests that run a part as an unprivileged user.
    void openToEveryone();

    // Whole contents of a file by full path; throws std::runtime_error when it cannot be read.
    static std::string readFile(const std::string& fullPath);
    // Whether anything (a dangling link too) exists at a full path.
    static bool exists(const std::string& fullPath);

    // Every path in the tree, sorted: folders end in '/', links read "name -> text".
    std::vector<std::string> listTree() const;
    // Names of a folder's entries (relative to it) that look like our temporary files.
    std::vector<std::string> temporaryFiles(std::string_view relativeFolder = "") const;

private:
    std::string path_;
};

} // namespace velmora::test
