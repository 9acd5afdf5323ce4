#include "profiles/Batch.h"
#include "profiles/Profile.h"
#include "profiles/SettingsStore.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <random>
#include <sstream>

namespace velmora {
namespace {

// Random bytes, biased towards the characters the readers look for, so that the runs reach
// deep into the key, value and section paths.
std::string randomInput(std::mt19937& random) {
    static const std::string pieces[] = {"velmora_version=",
                                         "1.05",
                                         "1.09",
                                         "file_type=Velmora_batch\r\n",
                                         "profiles=",
                                         "end_profiles",
                                         "exclusions=",
                                         "end_exclusions",
                                         "wildcard_exclusions=",
                                         "adjust_time=",
                                         "delete_files=",
                                         "location1=",
                                         "\r\n",
                                         "\n",
                                         "=",
                                         " ",
                                         "n ",
                                         "s ",
                                         "\\x",
                                         "\\",
                                         "0",
                                         "-",
                                         ":"};
    std::uniform_int_distribution<int> length(0, 60);
    std::uniform_int_distribution<int> choice(0, 3);
    std::uniform_int_distribution<int> piece(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string text;
    for (int n = length(random); n > 0; --n) {
        if (choice(random) == 0)
            text += static_cast<char>(byte(random));
        else
            text += pieces[piece(random)];
    }
    return text;
}

TEST(RandomInput, ReadersNeverCrashOrHang) {
    std::mt19937 random(20261208);
    test::TempDir dir;
    SettingsStore store(dir.at("settings.conf"));
    for (int round = 0; round < 3000; ++round) {
        const std::string text = randomInput(random);

        Profile profile;
        std::istringstream profileIn(text);
        if (!profile.read(profileIn)) {
            EXPECT_TRUE(profile.location1.empty() && profile.exclusions.empty());
        }

        Batch batch;
        std::istringstream batchIn(text);
        if (!batch.read(batchIn)) {
            EXPECT_TRUE(batch.profiles.empty());
        }

        if (round % 30 == 0) {
            dir.writeFile("settings.conf", text);
            (void)store.readNumber("ShowTooltips");
            (void)store.readString("LogPath");
            store.writeNumber("ShowTooltips", 1);
            EXPECT_EQ(store.readNumber("ShowTooltips"), 1u);
        }
    }
}

} // namespace
} // namespace velmora
