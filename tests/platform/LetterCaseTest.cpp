#include "platform/LetterCase.h"

#include "platform/FileHandle.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/magic.h>
#include <vector>

namespace velmora::platform {
namespace {

TEST(LetterCase, TheFileSystemKindAndItsMountOptionsDecideHowNamesMatch) {
    const struct {
        std::uint64_t fsType;
        CaseRule rule;
    } kinds[] = {
        {MSDOS_SUPER_MAGIC, CaseRule::Folded},   {EXFAT_SUPER_MAGIC, CaseRule::Folded},
        {CIFS_SUPER_MAGIC, CaseRule::Folded},    {SMB2_SUPER_MAGIC, CaseRule::Folded},
        {EXT4_SUPER_MAGIC, CaseRule::PerFolder}, {F2FS_SUPER_MAGIC, CaseRule::PerFolder},
        {TMPFS_MAGIC, CaseRule::PerFolder},      {0x7366746e, CaseRule::ByMountOptions},
        {BTRFS_SUPER_MAGIC, CaseRule::Exact},    {XFS_SUPER_MAGIC, CaseRule::Exact},
        {FUSE_SUPER_MAGIC, CaseRule::ByLookUp},
    };
    for (const auto& kind : kinds)
        EXPECT_EQ(caseRuleOf(kind.fsType), kind.rule) << std::hex << kind.fsType;

    EXPECT_TRUE(mountOptionsFoldCase("rw,uid=0,nocase,iocharset=utf8"));
    EXPECT_TRUE(mountOptionsFoldCase("nocase"));
    EXPECT_FALSE(mountOptionsFoldCase("rw,nocaseless,uid=0"));
    EXPECT_FALSE(mountOptionsFoldCase(""));

    // A folder that cannot be examined is taken to ignore case: that never takes one file for two.
    test::TempDir dir;
    EXPECT_TRUE(realFileSystem().foldsCase(dir.at("missing")));
}

// What a look-up of a folder's own names in other letter case tells, on a disk that tells case
// apart: nothing without a name that has letters, else "matched by bytes".
TEST(LetterCase, ALookUpInOtherCaseNeedsANameWithLetters) {
    const struct {
        std::vector<const char*> names;
        int answer;
    } folders[] = {
        {{}, -1},
        {{"123", "_-."}, -1},
        {{"123", "Make"}, 0},
        {{"make", "MAKE"}, 0},
    };
    for (const auto& folder : folders) {
        test::TempDir dir;
        for (const char* name : folder.names)
            dir.writeFile(name, "x");
        FileHandle handle(::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY));
        EXPECT_EQ(lookUpInOtherCase(handle.get()), folder.answer) << folder.names.size();
    }
}

} // namespace
} // namespace velmora::platform
