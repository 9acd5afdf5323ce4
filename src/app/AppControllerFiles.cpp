// Opening, saving and closing profile and batch files, and the batch list.
#include "app/AppController.h"
#include "app/ProfileFiles.h"
#include "engine/FrontEndPort.h"
#include "profiles/FileKind.h"
#include "profiles/StoredSettings.h"

namespace velmora {

namespace {

constexpr const char* kBatchQuestion =
    "The current batch file has been modified.\nDo you wish to save your changes?";
constexpr const char* kProfileQuestion =
    "The current profile has been modified.\nDo you wish to save your changes?";

} // namespace

bool AppController::openFile(const std::string& path, bool clearBatch, bool updateRecent) {
    const ChangeNotice notice(*this);
    // A batch run opens its profiles between its runs; nothing opens during a run.
    if (flags_.runningState != RunningState::Idle)
        return false;
    if (!path.empty())
        storeOpenPath(path);
    bool ok = false;
    switch (fileKindOf(path)) {
    case FileKind::Profile:
        ok = openProfile(path, clearBatch);
        break;
    case FileKind::Batch:
        ok = openBatch(path);
        break;
    case FileKind::Other:
        return false;
    }
    if (ok && updateRecent)
        putRecentFile(path);
    return ok;
}

bool AppController::openProfile(const std::string& path, bool clearBatch) {
    // A copy marked valid: a file that cannot be read leaves it so, and then nothing changes.
    Profile candidate = profile_;
    candidate.valid = true;
    const bool loaded = loadProfileFile(path, candidate, reporter_);
    if (!loaded && candidate.valid)
        return false;

    if (clearBatch) {
        batch_.modified = false;
        batch_.profiles.clear();
    }
    batchPath_.clear();
    profile_ = candidate;
    if (!loaded) {
        // Not a profile: it has been read as the defaults, and no file is open any more.
        profilePath_.clear();
        selectorText_.clear();
        return false;
    }
    profilePath_ = path;
    selectorText_ = path;
    title_ = windowTitleFor(path);
    copyProfileIntoWindow();
    // It stays open, so that it can be repaired, but the user must know before anything runs:
    // also in silent mode, which the damaged file may have switched on.
    if (profile_.damaged())
        reporter_.reportAlwaysShown("CSynchroniserDlg::loadProfileData",
                                    damagedProfileNotice(path, profile_));
    return true;
}

bool AppController::openBatch(const std::string& path) {
    Batch candidate;
    candidate.valid = true;
    const bool loaded = loadBatchFile(path, candidate, reporter_);
    if (!loaded && candidate.valid)
        return false;

    profilePath_.clear();
    profile_.reset();
    batch_ = candidate;
    if (!loaded) {
        batchPath_.clear();
        selectorText_.clear();
        return false;
    }
    batchPath_ = path;
    selectorText_ = path;
    title_ = windowTitleFor(path);
    return true;
}

void AppController::copyProfileIntoWindow() {
    copyMainBoxes(profile_, options_);
    setSilent(profile_.silentMode);
    options_.hideOtherButton = profile_.hideOtherButton;
    options_.compareOnTime = profile_.compareOnTime;
    options_.adjustHours = profile_.adjustHours;
    options_.adjustMinutes = profile_.adjustMinutes;
    autoStartOn_ = profile_.autoStart == AutoStartDirection::OneToTwo ||
                   profile_.autoStart == AutoStartDirection::TwoToOne;
    autoStartDirection_ =
        profile_.autoStart == AutoStartDirection::TwoToOne ? Direction::TwoToOne : Direction::OneToTwo;
    options_.copyAttributes = profile_.copyAttributes;
    location1_ = profile_.location1;
    location2_ = profile_.location2;
    edited1_ = edited2_ = false;
    putLocationFirst(recent1_, location1_);
    putLocationFirst(recent2_, location2_);
    refreshSyncButtons();
}

void AppController::putRecentFile(const std::string& path) {
    if (path.empty())
        return;
    putFileFirst(recentFiles_, path);
    selectorText_ = recentFiles_.front();
}

void AppController::storeOpenPath(const std::string& path) {
    writeOpenPath(services_.settings, path);
}

std::string AppController::openPath() const {
    return readOpenPath(services_.settings);
}

bool AppController::open() {
    const ChangeNotice notice(*this);
    if (busy())
        return false;
    offerToSave();
    FileChoice request;
    request.kind = FileChoice::Kind::OpenOne;
    request.title = "Open";
    request.filters = {{"Velmora profile (*.vmp)", "*.vmp"}, {"Velmora batch files (*.vmb)", "*.vmb"}};
    request.defaultExtension = "vmp";
    request.startFolder = readOpenPath(services_.settings);
    const std::vector<std::string> chosen = chooseFiles(std::move(request));
    const bool ok = !chosen.empty() && openFile(chosen.front());
    // Chosen or cancelled, the silent flag follows the profile.
    silentFromProfile();
    return ok;
}

std::vector<std::string> AppController::chooseFiles(FileChoice request) {
    const SilentPause shown(reporter_);
    return services_.frontEnd.chooseFiles(request);
}

bool AppController::selectRecentFile(const std::string& path) {
    const ChangeNotice notice(*this);
    if (busy())
        return false;
    offerToSave();
    const bool ok = openFile(path);
    if (!ok) {
        removeFile(recentFiles_, path);
        // The selector names no file any more; what the window shows (the profile as it was)
        // stays, and Save then asks for a name rather than writing over another file.
        selectorText_.clear();
    }
    silentFromProfile();
    return ok;
}

bool AppController::offerToSave() {
    const ChangeNotice notice(*this);
    if (!batch_.profiles.empty() && batch_.modified) {
        if (services_.frontEnd.question(kBatchQuestion))
            return save();
    } else if (profile_.modified && !profilePath_.empty()) {
        if (services_.frontEnd.question(kProfileQuestion))
            return save();
    }
    return true;
}

void AppController::closeFile() {
    const ChangeNotice notice(*this);
    if (busy())
        return;
    switch (fileKindOf(selectorText_)) {
    case FileKind::Profile:
        if (profile_.modified && !profilePath_.empty() && services_.frontEnd.question(kProfileQuestion))
            save();
        profile_.reset();
        profilePath_.clear();
        break;
    case FileKind::Batch:
        if (!batch_.profiles.empty() && batch_.modified && services_.frontEnd.question(kBatchQuestion))
            save();
        batch_.modified = false;
        batch_.profiles.clear();
        batchPath_.clear();
        break;
    case FileKind::Other:
        break;
    }
    selectorText_.clear();
    title_ = "Velmora";
}

void AppController::takeControlValues() {
    // The boxes and locations the user sees are what a saved profile must hold, also when they
    // came from the remembered settings rather than from a profile.
    const bool wasModified = profile_.modified;
    copyMainBoxes(options_, profile_);
    profile_.location1 = location1_;
    profile_.location2 = location2_;
    profile_.modified = wasModified;
}

bool AppController::save() {
    const ChangeNotice notice(*this);
    if (flags_.runningState != RunningState::Idle)
        return false;
    if (selectorText_.empty())
        return saveAs();
    switch (fileKindOf(selectorText_)) {
    case FileKind::Profile:
        takeControlValues();
        if (!saveProfileFile(selectorText_, profile_, reporter_, SaveCommand::Save))
            return false;
        profile_.readStop = {}; // the file now holds the whole profile
        return true;
    case FileKind::Batch:
        return saveBatchFile(selectorText_, batch_, reporter_, SaveCommand::Save);
    case FileKind::Other:
        break;
    }
    return false;
}

bool AppController::saveAs() {
    const ChangeNotice notice(*this);
    if (busy())
        return false;
    const bool batch = saveAsSavesBatch();
    FileChoice request;
    request.kind = FileChoice::Kind::Save;
    request.title = "Save As";
    request.filters = {batch ? FileChoice::Filter{"Velmora batch (*.vmb)", "*.vmb"}
                             : FileChoice::Filter{"Velmora profile (*.vmp)", "*.vmp"}};
    request.defaultExtension = batch ? "vmb" : "vmp";
    request.startFolder =
        saveAsStart(batch, batch ? batchPath_ : profilePath_, recentFiles_, readOpenPath(services_.settings));
    const std::vector<std::string> chosen = chooseFiles(std::move(request));
    return !chosen.empty() && saveAs(chosen.front());
}

bool AppController::saveAs(const std::string& path) {
    const ChangeNotice notice(*this);
    if (busy() || path.empty())
        return false;
    storeOpenPath(path);
    const bool savesBatch = saveAsSavesBatch();
    bool ok = false;
    if (savesBatch) {
        ok = saveBatchFile(path, batch_, reporter_, SaveCommand::SaveAs);
    } else {
        takeControlValues();
        ok = saveProfileFile(path, profile_, reporter_, SaveCommand::SaveAs);
        if (ok)
            profile_.readStop = {};
    }
    // A failed save keeps the file that was open as the current one.
    if (!ok)
        return false;
    selectorText_ = path;
    (savesBatch ? batchPath_ : profilePath_) = path;
    putRecentFile(path);
    return true;
}

// --- Batch list --------------------------------------------------------------------------

AppController::DialogSession<BatchList> AppController::batchList() {
    const ChangeNotice notice(*this);
    if (!busy() && fileKindOf(selectorText_) == FileKind::Profile) {
        if (profile_.modified && !profilePath_.empty() && services_.frontEnd.question(kProfileQuestion))
            save();
        selectorText_.clear();
        profile_.reset();
        profilePath_.clear();
        title_ = "Velmora";
    }
    return {BatchList(batch_.profiles), SilentPause(reporter_)};
}

void AppController::addBatchFiles(BatchList& list) {
    FileChoice request;
    request.kind = FileChoice::Kind::OpenSeveral;
    request.title = "Add Files";
    request.filters = {{"Velmora profile (*.vmp)", "*.vmp"}};
    request.defaultExtension = "vmp";
    request.startFolder = readOpenPath(services_.settings);
    addBatchFiles(list, chooseFiles(std::move(request)));
}

void AppController::addBatchFiles(BatchList& list, const std::vector<std::string>& paths) {
    const ChangeNotice notice(*this);
    const SilentPause shown(reporter_);
    if (!paths.empty())
        storeOpenPath(paths.front());
    list.addProfiles(paths, reporter_);
}

void AppController::acceptBatchList(const BatchList& list) {
    const ChangeNotice notice(*this);
    if (busy())
        return;
    list.applyTo(batch_);
    // A new batch needs a name before it can be run again or reopened.
    if (selectorText_.empty() && !batch_.profiles.empty())
        saveAs();
}

} // namespace velmora
