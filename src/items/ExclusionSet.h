#pragma once

#include "items/FileItem.h"
#include "items/TextRecord.h"

#include <string_view>
#include <vector>

namespace velmora {

struct PathParts;

// The files, folders and wildcard patterns a synchronisation leaves alone. A value type:
// copying it copies the two lists of handles (the items are shared).
class ExclusionSet : public TextRecord {
public:
    explicit ExclusionSet(PathStyle style = PathStyle::Posix) : style_(style) {}

    // Appended unless the set already excludes the path (explicit entries or wildcards).
    void addExplicit(std::string_view pathText);
    void addExplicit(const FileItemPtr& item);
    // Appended unless an entry with an equal full path is already there. An empty pattern is kept
    // but excludes nothing.
    void addWildcard(std::string_view patternText);
    // Sorts both lists and releases spare capacity; call after the last addition.
    void finish();
    // Removes every explicit entry with the item's full path; wildcards stay.
    void removeExplicit(const FileItem& item);

    bool isExcluded(const FileItem& candidate) const;
    bool isExcluded(std::string_view pathText) const;

    const std::vector<FileItemPtr>& explicitEntries() const { return explicit_; }
    const std::vector<FileItemPtr>& wildcards() const { return wildcards_; }
    bool empty() const { return explicit_.empty() && wildcards_.empty(); }
    PathStyle pathStyle() const { return style_; }

    // The exclusion sections of a profile file. An entry that cannot be kept on one line (a line
    // break in its path, or a trailing CR) or that reads as its list's end line is left out, so
    // that it cannot break the file, and write returns false; everything else is still written.
    bool write(std::ostream& out) const override;
    // Called right after the key "exclusions" has been read; adds to what the set holds. False
    // when the stream ended inside a list or inside the key of the wildcard list.
    bool read(std::istream& in) override;

private:
    bool excludes(const PathParts& candidate) const;

    PathStyle style_;
    std::vector<FileItemPtr> explicit_;
    std::vector<FileItemPtr> wildcards_;
};

// '?' matches one byte, '*' any run; ASCII case is ignored. Compares in place, no copies.
bool matchesPattern(std::string_view pattern, std::string_view name);

} // namespace velmora
