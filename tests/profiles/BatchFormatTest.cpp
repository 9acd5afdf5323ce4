#include "profiles/Batch.h"
#include "profiles/FileKind.h"

#include <gtest/gtest.h>
#include <sstream>

namespace velmora {
namespace {

const std::string kExample = "file_type=Velmora_batch\r\n"
                             "velmora_version=1.09\r\n"
                             "profiles=\r\n"
                             "C:\\Profiles\\documents.vmp\r\n"
                             "C:\\Profiles\\photos.vmp\r\n"
                             "end_profiles\r\n";

Batch readText(const std::string& text) {
    Batch batch;
    std::istringstream in(text);
    batch.read(in);
    return batch;
}

TEST(BatchFormat, ExampleRoundTripsAndWriteClearsModified) {
    Batch batch = readText(kExample);
    ASSERT_TRUE(batch.valid);
    EXPECT_EQ(batch.profiles,
              (std::vector<std::string>{"C:\\Profiles\\documents.vmp", "C:\\Profiles\\photos.vmp"}));
    batch.modified = true;
    std::ostringstream out;
    EXPECT_TRUE(batch.write(out));
    EXPECT_EQ(out.str(), kExample);
    EXPECT_FALSE(batch.modified);
}

TEST(BatchFormat, MissingEndKeepsTrailingEmptyPathAndBlankLinesAreEntries) {
    Batch batch = readText(
        "file_type=Velmora_batch\r\nvelmora_version=1.09\r\nprofiles=\r\n/p/a.vmp\r\n\r\n/p/a.vmp\r\n");
    ASSERT_TRUE(batch.valid);
    EXPECT_EQ(batch.profiles, (std::vector<std::string>{"/p/a.vmp", "", "/p/a.vmp", ""}));
}

TEST(BatchFormat, InvalidLayoutsEmptyTheList) {
    // The version line must come second: a file starting with it is not a batch.
    EXPECT_FALSE(
        readText("velmora_version=1.09\r\nfile_type=Velmora_batch\r\nprofiles=\r\n/a.vmp\r\n").valid);
    EXPECT_FALSE(readText("file_type=Velmora_batch\r\nprofiles=\r\n/a.vmp\r\nend_profiles\r\n"
                          "velmora_version=1.09\r\n")
                     .valid);
    EXPECT_FALSE(readText("file_type=velmora_batch\r\nvelmora_version=1.09\r\n").valid);
    EXPECT_FALSE(readText("file_type=Velmora_batch\r\n").valid);
    EXPECT_FALSE(readText("").valid);

    Batch batch;
    batch.profiles = {"/old.vmp"};
    batch.modified = true;
    std::istringstream in("velmora_version=1.09\r\n");
    EXPECT_FALSE(batch.read(in));
    EXPECT_TRUE(batch.profiles.empty());
    EXPECT_FALSE(batch.modified);
}

TEST(BatchFormat, PathWithLineBreakIsRefused) {
    Batch batch;
    batch.profiles = {"/p/a\nb.vmp"};
    std::ostringstream out;
    EXPECT_FALSE(batch.write(out));
}

TEST(FileKind, ExtensionDecidesByteForByte) {
    EXPECT_EQ(fileKindOf("/home/ann/work.vmp"), FileKind::Profile);
    EXPECT_EQ(fileKindOf("/home/ann/all.vmb"), FileKind::Batch);
    EXPECT_EQ(fileKindOf("/home/ann/WORK.VMP"), FileKind::Other);
    EXPECT_EQ(fileKindOf("/home/ann/work.vmp.bak"), FileKind::Other);
    EXPECT_EQ(fileKindOf("/home/a.vmp/work"), FileKind::Other);
    EXPECT_EQ(fileKindOf("C:\\a.vmp\\work", PathStyle::Windows), FileKind::Other);
    EXPECT_EQ(fileTitleOf("/home/ann/my.work.vmp"), "my.work");
    EXPECT_EQ(fileTitleOf("C:\\Profiles\\work.vmp", PathStyle::Windows), "work");
    EXPECT_EQ(fileTitleOf("/home/ann/noext"), "noext");
}

} // namespace
} // namespace velmora
