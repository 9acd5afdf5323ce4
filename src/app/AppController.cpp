#include "app/AppController.h"

#include "engine/FrontEndPort.h"
#include "items/TidyPath.h"
#include "profiles/FileKind.h"

namespace velmora {

AppController::AppController(AppServices services)
    : services_(std::move(services)), log_(services_.logClock, services_.fileSystem),
      reporter_(frontEnd_, log_, lastReason_),
      commands_(services_.fileSystem, frontEnd_, flags_.stopRequest, lastReason_),
      sourceAccess_(commands_, flags_.stopRequest, results_.workDone),
      targetAccess_(commands_, flags_.stopRequest, results_.workDone),
      context_{sourceAccess_,  targetAccess_, commands_, services_.fileSystem, frontEnd_, flags_, runOptions_,
               runExclusions_, results_,      actions_},
      synchroniser_(context_,
                    RunHooks{[this](const SyncResults& results) {
                                 log_.writeResults(results);
                                 return log_.writeError();
                             },
                             [this] { log_.close(); }},
                    services_.steadyClock) {}

AppController::~AppController() = default;

AutoStart AppController::startUp(const std::string& commandLineFile) {
    const ChangeNotice notice(*this);
    keepDamagedSettings();
    general_ = readGeneralSettings(services_.settings);
    const RecentLists recent = readRecentLists(services_.settings);
    recent1_ = recent.location1;
    recent2_ = recent.location2;
    location1_ = recent1_.front();
    location2_ = recent2_.front();
    recentFiles_ = recent.files;
    selectorText_ = recent.profilePath;
    show12_ = show21_ = true;

    bool batchMustStart = false;
    if (!commandLineFile.empty()) {
        selectorText_ = commandLineFile;
        if (openFile(commandLineFile))
            batchMustStart = fileKindOf(commandLineFile) == FileKind::Batch;
        else
            selectorText_.clear();
    } else if (!selectorText_.empty()) {
        if (!openFile(selectorText_))
            selectorText_.clear();
    }

    if (profilePath_.empty())
        applyOptionSettings(readOptionSettings(services_.settings));
    options_.copyAttributes = profile_.copyAttributes;
    refreshSyncButtons();

    autoStart_ = AutoStart::None;
    if (profile_.damaged())
        return autoStart_;
    if (!commandLineFile.empty() && !profilePath_.empty() &&
        profile_.autoStart == AutoStartDirection::OneToTwo)
        autoStart_ = AutoStart::Synchronise12;
    else if (!commandLineFile.empty() && !profilePath_.empty() &&
             profile_.autoStart == AutoStartDirection::TwoToOne)
        autoStart_ = AutoStart::Synchronise21;
    else if (batchMustStart)
        autoStart_ = AutoStart::RunBatch;
    return autoStart_;
}

void AppController::applyOptionSettings(const ProfileOptions& stored) {
    options_.addMissing = stored.addMissing;
    options_.deleteMissing = stored.deleteMissing;
    options_.confirmDeletes = stored.confirmDeletes;
    options_.checkSubFolders = stored.checkSubFolders;
    options_.checkActions = stored.checkActions;
    options_.overwriteReadOnly = stored.overwriteReadOnly;
    profile_.copyAttributes = stored.copyAttributes;
    profile_.logOn = stored.logOn;
    profile_.logAppend = stored.logAppend;
    profile_.logPath = stored.logPath;
    // The remembered comparison and adjustment reach only the window's copies, which the exit
    // writes back. A run compares as the profile says, and the profile keeps its own defaults
    // (compare on time, no adjustment) until one is loaded or More Options is confirmed: the
    // stored default compares on size, which would miss every edit that keeps a file's size.
    options_.compareOnTime = stored.compareOnTime;
    options_.adjustHours = stored.adjustHours;
    options_.adjustMinutes = stored.adjustMinutes;
    profile_.modified = true;
}

void AppController::runAutoStart() {
    const ChangeNotice notice(*this);
    const AutoStart request = autoStart_;
    autoStart_ = AutoStart::None;
    if (request == AutoStart::None)
        return;
    if (fileKindOf(selectorText_) == FileKind::Batch)
        runBatch();
    else
        synchronise(autoStartDirection_);
}

ProfileOptions AppController::optionSettingsForExit() const {
    ProfileOptions out;
    copyMainBoxes(options_, out); // silent mode and exit on completion are not remembered
    out.copyAttributes = profile_.copyAttributes;
    out.compareOnTime = options_.compareOnTime;
    out.adjustHours = options_.adjustHours;
    out.adjustMinutes = options_.adjustMinutes;
    out.logOn = profile_.logOn;
    out.logAppend = profile_.logAppend;
    out.logPath = profile_.logPath;
    return out;
}

bool AppController::exit() {
    const ChangeNotice notice(*this);
    if (busy())
        return false;
    if (!endingFromOutside_)
        offerToSave();
    finish();
    return true;
}

void AppController::keepDamagedSettings() {
    using Kind = SettingsFileCheck::Kind;
    if (services_.settings.readOnly())
        return; // the command line says so itself, and never writes the file
    const SettingsFileCheck found = services_.settings.setAsideIfDamaged();
    const std::string& path = services_.settings.filePath();
    if (found.kind == Kind::Damaged || found.kind == Kind::NotSettings)
        reporter_.reportAlwaysShown("CSynchroniserDlg::OnInitDialog",
                                    "The settings file " + path + " could not be read whole (" +
                                        found.reason() + "). It was kept as " + path +
                                        ".damaged; what could not be read starts from its default.");
    else if (found.kind == Kind::Unreadable)
        reporter_.reportAlwaysShown("CSynchroniserDlg::OnInitDialog",
                                    "The settings file " + path + " cannot be read (" + found.reason() +
                                        "): the default settings apply, and they cannot be saved there.");
}

void AppController::endFromOutside(StopCause cause) {
    const ChangeNotice notice(*this);
    endingFromOutside_ = true;
    if (busy())
        stop(cause);
    else
        finish();
}

void AppController::finishIfEndingFromOutside() {
    if (endingFromOutside_ && !busy())
        finish();
}

void AppController::finish() {
    RecentLists recent;
    recent.location1 = recent1_;
    recent.location2 = recent2_;
    recent.files = recentFiles_;
    recent.profilePath = selectorText_;
    writeExitSettings(services_.settings, optionSettingsForExit(), recent);
    finished_ = true;
}

bool AppController::requestClose() {
    const ChangeNotice notice(*this);
    if (busy()) {
        reporter_.report(
            "CSynchroniserDlg::OnCancel",
            "Velmora cannot be closed whilst a synchronisation is running.\nUse the Stop button first");
        return false;
    }
    return exit();
}

// --- Locations ---------------------------------------------------------------------------

const std::string& AppController::locationText(Location which) const {
    return which == Location::One ? location1_ : location2_;
}

const RecentLocations& AppController::recentLocations(Location which) const {
    return which == Location::One ? recent1_ : recent2_;
}

void AppController::typeLocation(Location which, const std::string& text) {
    const ChangeNotice notice(*this);
    if (busy())
        return;
    textOf(which) = text;
    (which == Location::One ? edited1_ : edited2_) = true;
}

void AppController::locationFocusLost(Location which) {
    const ChangeNotice notice(*this);
    bool& edited = which == Location::One ? edited1_ : edited2_;
    if (!edited)
        return;
    edited = false;
    const std::string text = tidyLocation(textOf(which));
    std::string& stored = which == Location::One ? profile_.location1 : profile_.location2;
    if (stored != text) {
        stored = text;
        profile_.modified = true;
    }
    textOf(which) = text;
    putLocationFirst(which == Location::One ? recent1_ : recent2_, text);
}

void AppController::chooseLocation(Location which, const std::string& path) {
    const ChangeNotice notice(*this);
    if (busy())
        return;
    const std::string text = tidyLocation(path);
    textOf(which) = text;
    (which == Location::One ? edited1_ : edited2_) = false;
    (which == Location::One ? profile_.location1 : profile_.location2) = text;
    profile_.modified = true;
    putLocationFirst(which == Location::One ? recent1_ : recent2_, text);
}

// --- Options -----------------------------------------------------------------------------

bool AppController::setOption(OptionBox box, bool ticked) {
    const ChangeNotice notice(*this);
    if (busy())
        return false;
    ProfileOptions& o = options_;
    if (box == OptionBox::ConfirmDeletes && (o.checkActions || o.silentMode))
        return false;
    if (box == OptionBox::CheckActions && o.silentMode)
        return false;

    switch (box) {
    case OptionBox::AddMissing:
        profile_.addMissing = o.addMissing = ticked;
        break;
    case OptionBox::DeleteMissing:
        profile_.deleteMissing = o.deleteMissing = ticked;
        break;
    case OptionBox::ConfirmDeletes:
        profile_.confirmDeletes = o.confirmDeletes = ticked;
        break;
    case OptionBox::CheckSubFolders:
        profile_.checkSubFolders = o.checkSubFolders = ticked;
        break;
    case OptionBox::ExitOnCompletion:
        profile_.exitOnCompletion = o.exitOnCompletion = ticked;
        break;
    case OptionBox::OverwriteReadOnly:
        profile_.overwriteReadOnly = o.overwriteReadOnly = ticked;
        break;
    case OptionBox::CheckActions:
        o.checkActions = ticked;
        if (ticked)
            o.confirmDeletes = false;
        profile_.checkActions = o.checkActions;
        profile_.confirmDeletes = o.confirmDeletes;
        break;
    case OptionBox::SilentMode:
        o.silentMode = ticked;
        if (ticked)
            o.checkActions = o.confirmDeletes = false;
        setSilent(ticked);
        profile_.silentMode = o.silentMode;
        profile_.checkActions = o.checkActions;
        profile_.confirmDeletes = o.confirmDeletes;
        break;
    }
    profile_.modified = true;
    return true;
}

void AppController::setSilent(bool on) {
    reporter_.setSilent(on);
}

void AppController::silentFromProfile() {
    options_.silentMode = profile_.silentMode;
    setSilent(profile_.silentMode);
}

void AppController::moreOptionsAccepted() {
    const ChangeNotice notice(*this);
    options_.hideOtherButton = profile_.hideOtherButton;
    options_.compareOnTime = profile_.compareOnTime;
    options_.adjustHours = profile_.adjustHours;
    options_.adjustMinutes = profile_.adjustMinutes;
    autoStartOn_ = profile_.autoStart != AutoStartDirection::Off;
    autoStartDirection_ =
        profile_.autoStart == AutoStartDirection::TwoToOne ? Direction::TwoToOne : Direction::OneToTwo;
    options_.copyAttributes = profile_.copyAttributes;
    // The window's profile, saved or not, decides the buttons from now on.
    refreshSyncButtons(true);
}

void AppController::exclusionsAccepted(const ExclusionSet& edited) {
    const ChangeNotice notice(*this);
    profile_.exclusions = edited;
    profile_.exclusions.finish();
    profile_.modified = true;
}

void AppController::configurationAccepted(const GeneralSettings& settings) {
    const ChangeNotice notice(*this);
    general_ = settings;
    writeGeneralSettings(services_.settings, settings);
    // Applying the button style shows both buttons of the pair again.
    show12_ = show21_ = true;
}

// --- What the view shows -----------------------------------------------------------------

void AppController::refreshSyncButtons(bool withoutFile) {
    // With no file open the buttons keep what they show, unless the user has just set the rule.
    if (profilePath_.empty() && !withoutFile)
        return;
    // "Hide other button" keeps the button of the profile's auto-start direction; without a
    // direction there is nothing to keep and both show.
    const AutoStartDirection direction = profile_.autoStart;
    const bool hide = profile_.hideOtherButton && direction != AutoStartDirection::Off;
    show12_ = !hide || direction == AutoStartDirection::OneToTwo;
    show21_ = !hide || direction == AutoStartDirection::TwoToOne;
}

bool AppController::lastReportAvailable() const {
    return !results_.lastSource.empty() && !results_.lastTarget.empty();
}

ControlState AppController::controlState() const {
    ControlInputs in;
    in.runningState = flags_.runningState;
    in.batchRunning = batchRunning_;
    in.silentMode = options_.silentMode;
    in.checkActions = options_.checkActions;
    in.batchModified = batch_.modified;
    in.profileModified = profile_.modified;
    in.selectorEmpty = selectorText_.empty();
    in.batchHasProfiles = !batch_.profiles.empty();
    in.lastReportKnown = lastReportAvailable();
    in.iconButtons = general_.showNoTextButtons;
    in.show12 = show12_;
    in.show21 = show21_;
    return computeControlState(in);
}

SyncOptions AppController::runOptions() const {
    SyncOptions o = syncOptionsFor(windowProfile(), general_);
    o.safeguards = safeguards_;
    return o;
}

} // namespace velmora
