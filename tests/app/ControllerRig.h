#pragma once

#include "app/AppController.h"
#include "engine/FrontEndPort.h"
#include "profiles/Batch.h"
#include "profiles/Profile.h"
#include "profiles/SettingsStore.h"
#include "support/FakeFrontEnd.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace velmora::test {

// A controller over a temporary folder: its own settings file, real trees under it and the
// scripted front end. start() plays the program start with an optional command-line file.
struct ControllerRig {
    TempDir dir;
    FakeFrontEnd frontEnd;
    FaultyFileSystem fs;
    std::string settingsPath = dir.at("settings.conf");
    SettingsStore settings{settingsPath};
    std::unique_ptr<AppController> app = makeController();

    std::unique_ptr<AppController> makeController() {
        return std::make_unique<AppController>(AppServices{frontEnd, fs, settings});
    }

    // A fresh controller on the same settings file (the next start of the program).
    AppController& restart() {
        app = makeController();
        return *app;
    }

    AutoStart start(const std::string& commandLineFile = "") { return app->startUp(commandLineFile); }

    // A profile synchronising "<name>/one/" and "<name>/two/" under the temporary folder, both
    // made; without the check-list so that runs need no answers.
    Profile profileFor(const std::string& name, int autoStart = 1) const {
        Profile profile;
        profile.location1 = dir.at(name + "/one/");
        profile.location2 = dir.at(name + "/two/");
        profile.autoStart = static_cast<AutoStartDirection>(autoStart);
        profile.checkActions = false;
        return profile;
    }

    std::string writeProfile(const std::string& relative, const Profile& profile) {
        std::ostringstream text;
        profile.write(text);
        for (const std::string& location : {profile.location1, profile.location2})
            if (!location.empty() && location.back() == '/' && location.starts_with(dir.path()))
                dir.makeFolder(location.substr(dir.path().size()));
        return dir.writeFile(relative, text.str());
    }

    std::string writeBatch(const std::string& relative, const std::vector<std::string>& profiles) {
        Batch batch;
        batch.profiles = profiles;
        std::ostringstream text;
        batch.write(text);
        return dir.writeFile(relative, text.str());
    }

    bool exists(const std::string& relative) const { return TempDir::exists(dir.at(relative)); }

    // Messages shown that contain a text.
    int messagesWith(const std::string& part) const {
        int count = 0;
        for (const std::string& message : frontEnd.messages)
            count += message.find(part) != std::string::npos ? 1 : 0;
        return count;
    }
};

} // namespace velmora::test
