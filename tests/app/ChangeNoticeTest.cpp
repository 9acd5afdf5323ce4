#include "ControllerRig.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::ControllerRig;

struct RecordingObserver : ControllerObserver {
    std::vector<ChangeSet> notices;
    void controllerChanged(ChangeSet changes) override { notices.push_back(changes); }
    bool told(Change change) const {
        return std::any_of(notices.begin(), notices.end(),
                           [change](ChangeSet set) { return set.has(change); });
    }
};

TEST(ChangeNoticeTest, ObserversHearWhatTheWindowMustRedraw) {
    ControllerRig rig;
    const std::string path = rig.writeProfile("p.vmp", rig.profileFor("p"));
    rig.dir.writeFile("p/one/file", "data");
    RecordingObserver observer;
    rig.app->addObserver(observer);
    rig.start();
    EXPECT_TRUE(observer.told(Change::Controls));

    struct Step {
        const char* what;
        std::function<void(AppController&)> act;
        std::vector<Change> expected;
    };
    const Step steps[] = {
        {"open",
         [&](AppController& app) { app.openFile(path); },
         {Change::Title, Change::Selector, Change::RecentFiles, Change::Locations}},
        {"option",
         [](AppController& app) { app.setOption(OptionBox::CheckSubFolders, false); },
         {Change::Controls}},
        {"typing",
         [&](AppController& app) { app.typeLocation(Location::One, rig.dir.at("p/three")); },
         {Change::Locations}},
        {"run",
         [](AppController& app) { app.synchronise(Direction::TwoToOne); },
         {Change::Running, Change::Progress}},
        {"close", [](AppController& app) { app.closeFile(); }, {Change::Title, Change::Selector}},
    };
    for (const Step& step : steps) {
        observer.notices.clear();
        step.act(*rig.app);
        SCOPED_TRACE(step.what);
        for (Change change : step.expected)
            EXPECT_TRUE(observer.told(change));
    }

    // Nothing visible changed: nobody is told.
    observer.notices.clear();
    rig.app->locationFocusLost(Location::Two);
    EXPECT_TRUE(observer.notices.empty());
    rig.app->removeObserver(observer);
    rig.app->closeFile();
    EXPECT_TRUE(observer.notices.empty());
}

} // namespace
} // namespace velmora
