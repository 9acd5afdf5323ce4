#include "platform/LetterCase.h"

#include "platform/FileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <linux/magic.h>

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

} // namespace
} // namespace velmora::platform
