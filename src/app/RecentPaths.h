#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace velmora {

// The recent locations of one location box: exactly five entries, the most recent first.
using RecentLocations = std::array<std::string, 5>;

// Puts a location at the front: an equal entry (byte for byte) moves there, else the last entry
// drops out. An empty path changes nothing.
void putLocationFirst(RecentLocations& list, const std::string& path);

// The recent files: at most `kRecentFiles`, the most recent first, no empty entries.
inline constexpr std::size_t kRecentFiles = 15;

// Puts a file at the front: an equal entry moves there, else the oldest drops out when the list
// is full. An empty path changes nothing.
void putFileFirst(std::vector<std::string>& list, const std::string& path);

// Removes every entry equal to the path (a file that failed to open).
void removeFile(std::vector<std::string>& list, const std::string& path);

// The profile selector's list: the recent files, and after them the file it shows when that is
// not one of them (a profile a batch run has opened without making it recent).
std::vector<std::string> selectorEntries(const std::vector<std::string>& recentFiles,
                                         const std::string& shown);

// Where Save As starts: at the file being saved when it has a name; without one, in a folder and
// with no name offered (a batch in the folder of the most recent batch file, a profile where the
// last file was opened or saved), so that no other file is overwritten by an Enter too many.
std::string saveAsStart(bool batch, const std::string& currentPath,
                        const std::vector<std::string>& recentFiles, const std::string& lastOpened);

} // namespace velmora
