#include "profiles/SettingsStore.h"

#include "profiles/StoredSettings.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace velmora {
namespace {

class SettingsStoreTest : public testing::Test {
protected:
    test::TempDir dir;
    std::string file = dir.at("Larkspire/Velmora.conf");
    SettingsStore store{file};
};

TEST_F(SettingsStoreTest, EmptyStoreGivesEveryDefaultAndWritesNothing) {
    const GeneralSettings general = readGeneralSettings(store);
    EXPECT_TRUE(general.showTooltips);
    EXPECT_TRUE(general.ddmmyy);
    EXPECT_EQ(general.timeDifference, 120u);
    EXPECT_EQ(general.commandTimeout, 300u);
    EXPECT_FALSE(general.showNoTextButtons);
    EXPECT_EQ(general.parallelCommands, 8u);

    const RecentLists recent = readRecentLists(store);
    for (std::size_t i = 0; i < RecentLists::kLocations; ++i) {
        EXPECT_EQ(recent.location1[i], "");
        EXPECT_EQ(recent.location2[i], "");
    }
    EXPECT_TRUE(recent.files.empty());
    EXPECT_EQ(recent.profilePath, "");

    const ProfileOptions options = readOptionSettings(store);
    EXPECT_TRUE(options.addMissing);
    EXPECT_TRUE(options.deleteMissing);
    EXPECT_TRUE(options.checkSubFolders);
    EXPECT_TRUE(options.checkActions);
    EXPECT_FALSE(options.confirmDeletes);
    EXPECT_FALSE(options.overwriteReadOnly);
    EXPECT_FALSE(options.copyAttributes);
    EXPECT_FALSE(options.compareOnTime);
    EXPECT_EQ(options.adjustHours, 0);
    EXPECT_FALSE(options.logOn);
    EXPECT_EQ(readBrowseStyle(store), 3u);
    EXPECT_EQ(readOpenPath(store), "");
    EXPECT_FALSE(test::TempDir::exists(file));
}

TEST_F(SettingsStoreTest, RecentFilesCloseGapsAndExitWritesEachIndex) {
    store.writeString("ProfilePath03", "/p/three.vmp");
    RecentLists recent = readRecentLists(store);
    EXPECT_EQ(recent.files, std::vector<std::string>{"/p/three.vmp"});

    for (int i = 0; i < 15; ++i)
        recent.files.push_back("/p/" + std::to_string(i) + ".vmp");
    recent.files.resize(15);
    recent.location1[0] = "/src/";
    recent.location2[4] = "/dst/";
    recent.profilePath = "/p/current.vmp";
    ProfileOptions options;
    options.adjustHours = -1;
    options.adjustMinutes = -59;
    options.logPath = "/var/log/v.txt";
    EXPECT_EQ(writeExitSettings(store, options, recent), 0);

    EXPECT_EQ(store.readNumber("AdjustHours"), 4294967295u);
    EXPECT_EQ(store.readString("ProfilePath14"), "/p/13.vmp");
    const RecentLists back = readRecentLists(store);
    EXPECT_EQ(back.files, recent.files);
    EXPECT_EQ(back.location1, recent.location1);
    EXPECT_EQ(back.location2, recent.location2);
    EXPECT_EQ(back.profilePath, "/p/current.vmp");
    const ProfileOptions optionsBack = readOptionSettings(store);
    EXPECT_EQ(optionsBack.adjustHours, -1);
    EXPECT_EQ(optionsBack.adjustMinutes, -59);
    EXPECT_EQ(optionsBack.logPath, "/var/log/v.txt");

    // A shorter list leaves the old values beyond it in place.
    recent.files.resize(2);
    writeExitSettings(store, options, recent);
    EXPECT_EQ(store.readString("ProfilePath14"), "/p/13.vmp");
}

TEST_F(SettingsStoreTest, AnyByteStringRoundTripsAndTypesAreKeptApart) {
    std::string bytes;
    for (int c = 0; c < 256; ++c)
        bytes += static_cast<char>(c);
    bytes += "\\x41\\\r\n=end ";
    EXPECT_EQ(store.writeString("Odd=Name\n", bytes), 0);
    EXPECT_EQ(store.writeString("Empty", ""), 0);
    EXPECT_EQ(store.writeNumber("Big", 4294967295u), 0);
    EXPECT_EQ(store.readString("Odd=Name\n"), bytes);
    EXPECT_EQ(store.readString("Empty"), "");
    EXPECT_EQ(store.readNumber("Big"), 4294967295u);
    EXPECT_EQ(store.readString("Big"), std::nullopt);
    EXPECT_EQ(store.readNumber("Empty"), std::nullopt);
    EXPECT_EQ(store.readNumber("big"), std::nullopt);

    store.writeNumber("Big", 7);
    EXPECT_EQ(store.readNumber("Big"), 7u);
    const std::string text = test::TempDir::readFile(file);
    EXPECT_EQ(text.find("n Big=4294967295"), std::string::npos);
}

TEST_F(SettingsStoreTest, DamagedLinesReadAsAbsentAndReadingLeavesTheFile) {
    const std::string damaged = "n ShowTooltips=0\n"
                                "n CommandTimeout=99999999999\n"
                                "n TimeDifference=12x\n"
                                "s LogPath=bad\\q escape\n"
                                "garbage line without type\n"
                                "n ddmmyy=\n"
                                "n ParallelCommands=99\n"
                                "s Location1A=/fine/\n";
    dir.writeFile("Larkspire/Velmora.conf", damaged);
    const GeneralSettings general = readGeneralSettings(store);
    EXPECT_FALSE(general.showTooltips);
    EXPECT_EQ(general.commandTimeout, 300u);
    EXPECT_EQ(general.timeDifference, 120u);
    EXPECT_TRUE(general.ddmmyy);
    EXPECT_EQ(general.parallelCommands, 32u); // out of range: the nearest allowed
    EXPECT_EQ(readOptionSettings(store).logPath, "");
    EXPECT_EQ(readRecentLists(store).location1[0], "/fine/");
    EXPECT_EQ(test::TempDir::readFile(file), damaged);

    // A write replaces a damaged value of its name and keeps the lines it cannot read.
    store.writeNumber("CommandTimeout", 60);
    EXPECT_EQ(store.readNumber("CommandTimeout"), 60u);
    const std::string after = test::TempDir::readFile(file);
    EXPECT_NE(after.find("garbage line without type\n"), std::string::npos);
    EXPECT_EQ(after.find("99999999999"), std::string::npos);
    EXPECT_EQ(store.readNumber("ShowTooltips"), 0u);
}

TEST_F(SettingsStoreTest, CheckTellsWhetherTheFileCanBeUsedAndADamagedOneIsSetAsideWhole) {
    using Kind = SettingsFileCheck::Kind;
    struct Case {
        const char* contents; // nullptr: no file
        Kind kind;
        std::size_t badLine;
    };
    const Case cases[] = {
        {nullptr, Kind::Missing, 0},
        {"", Kind::Sound, 0},
        {"# Velmora settings\n\nn ShowTooltips=0\r\n", Kind::Sound, 0},
        {"n ShowTooltips=0\nn CommandTimeout=soon\ns LogPath=/l\n", Kind::Damaged, 2},
        {"Dear diary,\ntoday\n", Kind::NotSettings, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.contents ? c.contents : "(none)");
        test::TempDir own;
        SettingsStore checked(own.at("Velmora.conf"));
        if (c.contents)
            own.writeFile("Velmora.conf", c.contents);
        const SettingsFileCheck found = checked.check();
        EXPECT_EQ(found.kind, c.kind);
        EXPECT_EQ(found.badLine, c.badLine);
    }
    dir.makeFolder("folder.conf");
    EXPECT_EQ(SettingsStore(dir.at("folder.conf")).check().reason(), "Is a directory");

    // Set aside: the old file kept whole, the file written anew with what could be read.
    const std::string damaged = "n ShowTooltips=0\nn CommandTimeout=soon\n";
    dir.writeFile("Larkspire/Velmora.conf", damaged);
    EXPECT_EQ(store.setAsideIfDamaged().kind, Kind::Damaged);
    EXPECT_EQ(test::TempDir::readFile(file + ".damaged"), damaged);
    EXPECT_EQ(store.check().kind, Kind::Sound);
    EXPECT_EQ(store.readNumber("ShowTooltips"), 0u);
    EXPECT_EQ(store.setAsideIfDamaged().kind, Kind::Sound); // once only
}

TEST_F(SettingsStoreTest, FailedSaveLeavesTheOldFileWhole) {
    VELMORA_SKIP_UNLESS_ROOT();
    store.writeString("LogPath", "/old/path");
    const std::string before = test::TempDir::readFile(file);
    dir.openToEveryone();
    dir.setMode("Larkspire", 0777);
    dir.setMode("Larkspire/Velmora.conf", 0666);
    dir.setMode("Larkspire", 0555);
    const auto result = test::runUnprivileged([this] {
        SettingsStore mine(file);
        return mine.writeString("LogPath", std::string(100000, 'x'));
    });
    ASSERT_TRUE(result.ran) << result.problem;
    EXPECT_EQ(result.value, EACCES);
    EXPECT_EQ(test::TempDir::readFile(file), before);
    EXPECT_TRUE(dir.temporaryFiles("Larkspire").empty());
}

TEST(SettingsStorePath, ComesFromTheEnvironment) {
    const auto keep = [](const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto own = keep("VELMORA_SETTINGS");
    const auto xdg = keep("XDG_CONFIG_HOME");
    const auto home = keep("HOME");

    ::setenv("VELMORA_SETTINGS", "/tmp/mine.conf", 1);
    EXPECT_EQ(SettingsStore::defaultFilePath(), "/tmp/mine.conf");
    ::unsetenv("VELMORA_SETTINGS");
    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(SettingsStore::defaultFilePath(), "/cfg/Larkspire/Velmora.conf");
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", "/home/ann", 1);
    EXPECT_EQ(SettingsStore::defaultFilePath(), "/home/ann/.config/Larkspire/Velmora.conf");

    const auto restore = [](const char* name, const std::optional<std::string>& value) {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    };
    restore("VELMORA_SETTINGS", own);
    restore("XDG_CONFIG_HOME", xdg);
    restore("HOME", home);
}

} // namespace
} // namespace velmora
