#include "cli/ExcludePaths.h"

#include <gtest/gtest.h>

namespace velmora::cli {
namespace {

TEST(ExcludePaths, TidyingIsByTheTextAlone) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"/a/./b//c/", "/a/b/c"},
        {"a/../b", "b"},
        {"../../x", "../../x"},
        {"a/../..", ".."},
        {"/../x", "/x"},
        {"/", "/"},
        {"./", ""},
        {"//a///", "/a"},
    };
    for (const auto& [typed, tidy] : cases)
        EXPECT_EQ(tidyPath(typed), tidy) << typed;
}

TEST(ExcludePaths, LocationsAreTidiedAndEndInASeparator) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"/", "/"},
        {"/data/./x/../t/.", "/data/t/"},
        {"./", "./"},
        {"sftp://ann@backup//~/Documents", "sftp://ann@backup//~/Documents/"}, // remote: as typed
        {"\\\\nas\\photos\\2024", "smb://nas/photos/2024/"},                   // a share as Windows writes it
        {"\\\\nas\\photos\\", "smb://nas/photos/"},
    };
    for (const auto& [typed, tidy] : cases)
        EXPECT_EQ(tidyLocation(typed), tidy) << typed;
}

TEST(ExcludePaths, PlacesInBothLocationsOrAReason) {
    struct Case {
        const char* typed;
        const char* current;
        std::vector<std::string> paths;
        bool usageError;
    };
    const std::vector<Case> cases = {
        {"Private", "/w", {"/w/src/Private", "/w/dst/Private"}, false},
        {"dst/P/", "/w", {"/w/src/P/", "/w/dst/P/"}, false},
        {"../dst/P", "/w/src", {"/w/src/P", "/w/dst/P"}, false},
        {"/w/src/x/../y", "/", {"/w/src/y", "/w/dst/y"}, false},
        {"P", "/w/src/sub", {"/w/src/sub/P", "/w/dst/sub/P"}, false}, // the current folder is inside
        {"P/.", "/elsewhere", {"/w/src/P/", "/w/dst/P/"}, false},
        {"../P", "/elsewhere", {}, false}, // above both roots
        {"/etc/P", "/w", {}, false},
        {"dst/", "/w", {}, true},
        {".", "/elsewhere", {}, true},
    };
    for (const Case& c : cases) {
        const ExcludedPlaces places = placesToExclude(c.typed, c.current, "/w/src/", "/w/dst/");
        EXPECT_EQ(places.paths, c.paths) << c.typed;
        EXPECT_EQ(places.usageError, c.usageError) << c.typed;
        EXPECT_EQ(places.problem.empty(), !c.paths.empty()) << c.typed;
    }
}

} // namespace
} // namespace velmora::cli
