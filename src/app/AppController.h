#pragma once

#include "app/BatchList.h"
#include "app/ControlState.h"
#include "app/ControllerObserver.h"
#include "app/Direction.h"
#include "app/LiveOptions.h"
#include "app/RecentPaths.h"
#include "engine/ActionList.h"
#include "engine/ErrorReporter.h"
#include "engine/FileCommand.h"
#include "engine/LastReason.h"
#include "engine/LocalLocationAccess.h"
#include "engine/RunContext.h"
#include "engine/RunFlags.h"
#include "engine/RunLog.h"
#include "engine/SyncOptions.h"
#include "engine/SyncResults.h"
#include "engine/Synchroniser.h"
#include "profiles/Batch.h"
#include "profiles/Profile.h"
#include "profiles/SettingsStore.h"
#include "profiles/StoredSettings.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class FrontEndPort;
namespace platform {
class FileSystem;
}

// What start-up asks the front end to start half a second after the window shows.
enum class AutoStart { None, Synchronise12, Synchronise21, RunBatch };

// What the controller needs from outside; all must outlive it.
struct AppServices {
    FrontEndPort& frontEnd;
    platform::FileSystem& fileSystem;
    SettingsStore& settings;
    RunLog::Clock logClock = platform::localNow;               // dates in the run log
    ProgressMeter::Clock steadyClock = platform::steadyMillis; // progress and time remaining
};

// How one profile of a batch run went.
struct BatchStep {
    std::string path;
    enum class Result { Ran, NotLoaded, Damaged, NoAutoStart } result = Result::Ran;
    RunOutcome outcome;       // when it ran
    SyncCounts counts;        // when it ran
    std::size_t problems = 0; // problem lines of its run
};

struct BatchOutcome {
    bool refused = false; // a run was going
    std::vector<BatchStep> steps;
    bool interrupted = false;   // Stop ended the batch early
    bool exitRequested = false; // a profile had "Exit on completion"
};

// The main window without widgets: the current profile or batch file, the two locations and their
// recent lists, the option boxes, synchronisations and batch runs, and what is remembered between
// runs of the program. Every answer from the person in front of the program comes through the
// front-end port; the view shows controlState() and the values below after each call.
// All calls come from one thread (the front end's); runs pump the front end meanwhile, so a view
// may call stop() and read the state from inside a pump, and any other call is refused or does
// nothing harmful while running.
class AppController {
public:
    explicit AppController(AppServices services);
    ~AppController();
    AppController(const AppController&) = delete;
    AppController& operator=(const AppController&) = delete;

    // --- Start-up and exit ---------------------------------------------------------------
    // Reads the settings, opens the file named on the command line (empty: none) or else the
    // remembered one, and answers what to start: a profile named on the command line with
    // automatic start runs in its direction, a batch file runs; a remembered profile never starts,
    // nor does a damaged one.
    AutoStart startUp(const std::string& commandLineFile);
    AutoStart autoStart() const { return autoStart_; }
    // The start-up timer has fired: run the batch or synchronise in the auto-start direction.
    void runAutoStart();

    // The exit action: offer to save, write the remembered values. Afterwards finished() is true
    // and the front end closes. Refused (false) while a run is going.
    bool exit();
    // The close box or Escape: while a run is going the user is told to stop it first and the
    // window stays (false); otherwise the exit action.
    bool requestClose();
    // The exit action has run (by exit(), requestClose() or "Exit on completion").
    bool finished() const { return finished_; }

    // --- Files ---------------------------------------------------------------------------
    // Opens a profile (".vmp") or batch (".vmb") file; anything else fails. With clearBatch a
    // profile empties the batch list; with updateRecent a success puts the path first in the
    // recent files. A file that cannot be read changes nothing; one that is not valid leaves
    // nothing open. "OpenPath" is stored either way.
    bool openFile(const std::string& path, bool clearBatch = true, bool updateRecent = true);
    // The Open button after its file dialog: opens the chosen file (none when cancelled), then
    // takes "Silent Mode" from the profile. Call offerToSave() before showing the dialog.
    bool openChosen(const std::optional<std::string>& path);
    // A file chosen in the profile selector's list: offer to save, open; a file that fails to open
    // leaves the recent files.
    bool selectRecentFile(const std::string& path);
    // Asks whether to save a modified batch (when it lists a profile) or else a modified profile
    // (when one is open), and saves on Yes. False when the user said Yes but nothing names the
    // file yet: the front end then asks for a path and calls saveAs().
    bool offerToSave();
    // The Close button.
    void closeFile();
    // Save: to the selector's file; an empty selector needs Save As (answers false and does
    // nothing: the front end asks for a path and calls saveAs).
    bool save();
    bool saveNeedsPath() const { return selectorText_.empty(); }
    // Save As with the path the user chose: the batch when it lists a profile, else the profile.
    bool saveAs(const std::string& path);
    // What Save As would save, for the file dialog's extension and filter.
    bool saveAsSavesBatch() const { return !batch_.profiles.empty(); }

    // --- Locations -----------------------------------------------------------------------
    // Typing into a location box; the text is taken when the box loses the focus.
    void typeLocation(Location which, const std::string& text);
    // The box lost the focus: a typed text gets its trailing '/', goes into the profile and to
    // the front of the recent list.
    void locationFocusLost(Location which);
    // An entry chosen from the box's list, or a folder chosen with Browse.
    void chooseLocation(Location which, const std::string& path);

    // --- Options -------------------------------------------------------------------------
    // Ticks or clears a box with its interlocks ("Silent Mode" clears and disables the check-list
    // and delete confirmation; the check-list clears and disables delete confirmation). A box
    // that is disabled, or any box during a run, is left as it is (false).
    bool setOption(OptionBox box, bool ticked);
    const LiveOptions& options() const { return options_; }
    // The profile the More Options and Exclusions dialogs edit in place.
    Profile& profile() { return profile_; }
    const Profile& profile() const { return profile_; }
    // More Options confirmed: refresh the copies of the profile's values.
    void moreOptionsAccepted();
    // Exclusions confirmed: the edited set replaces the profile's.
    void exclusionsAccepted(const ExclusionSet& edited);
    // Configuration confirmed: apply and store.
    void configurationAccepted(const GeneralSettings& settings);
    const GeneralSettings& general() const { return general_; }

    // --- Runs ----------------------------------------------------------------------------
    // Synchronises the two locations in one direction. A run already going is refused (nullopt,
    // the user is told even in silent mode). With "Exit on completion" the exit action follows.
    std::optional<RunOutcome> synchronise(Direction direction);
    // One run between two folders given by path (each gets its trailing '/'), without touching
    // the location boxes; what a command line runs. The same refusal and exit rule.
    std::optional<RunOutcome> synchroniseFolders(const std::string& source, const std::string& target);
    // Runs every profile of the batch in order, each in its auto-start direction; skips what
    // fails to open or has no automatic start; stops after a run ended by Stop; shows the batch
    // file again at the end.
    BatchOutcome runBatch();
    // The Stop button.
    void stop() { synchroniser_.stop(); }
    int runningState() const { return flags_.runningState; }
    bool batchRunning() const { return batchRunning_; }
    // The last run's results (for "Last Report" and exit statuses) and plan.
    const SyncResults& results() const { return results_; }
    const ActionList& actions() const { return actions_; }
    bool lastReportAvailable() const;
    // The options the next run will use.
    SyncOptions runOptions() const;
    // What every later run must refuse or do besides its options (none by default).
    void setSafeguards(const RunSafeguards& safeguards) { safeguards_ = safeguards; }

    // --- Batch list ----------------------------------------------------------------------
    // The Batch button: closes an open profile (offering to save it) and gives the list to edit.
    BatchList editBatchList();
    // Add Files in the batch list: stores "OpenPath", checks each profile (reported when it is
    // not valid or has no automatic start) and appends the accepted ones.
    void addToBatchList(BatchList& list, const std::vector<std::string>& paths);
    // The folder the last file dialog chose from ("OpenPath"), where the next one starts.
    std::string openPath() const;
    // OK in the batch list: the entries become the batch (always marked modified). Answers
    // whether Save As must follow (nothing open and the batch lists a profile).
    bool acceptBatchList(const BatchList& list);
    const Batch& batch() const { return batch_; }

    // --- What the view shows -------------------------------------------------------------
    // Observers are told after every change of what follows; each must outlive the controller
    // or be removed first.
    void addObserver(ControllerObserver& observer);
    void removeObserver(ControllerObserver& observer);
    const ProgressView& progress() const { return progress_; }
    ControlState controlState() const;
    const std::string& title() const { return title_; }
    const std::string& selectorText() const { return selectorText_; }
    const std::vector<std::string>& recentFiles() const { return recentFiles_; }
    const std::string& locationText(Location which) const;
    const RecentLocations& recentLocations(Location which) const;
    const std::string& currentProfilePath() const { return profilePath_; }
    const std::string& currentBatchPath() const { return batchPath_; }
    // Copies of profile values shown and remembered by the main window.
    bool compareOnSize() const { return compareOnSize_; }
    std::int32_t adjustHours() const { return adjustHours_; }
    std::int32_t adjustMinutes() const { return adjustMinutes_; }
    bool hideOtherButton() const { return hideOtherButton_; }
    bool autoStartOn() const { return autoStartOn_; }
    Direction autoStartDirection() const { return autoStartDirection_; }
    bool copyAttributes() const { return copyAttributes_; }
    bool silent() const { return reporter_.silent(); }

    // Dialogs opened from the main window show their messages even in silent mode: hold one of
    // these while a dialog is open.
    class SilentPause {
    public:
        explicit SilentPause(ErrorReporter& reporter) : reporter_(reporter), was_(reporter.silent()) {
            reporter_.setSilent(false);
        }
        ~SilentPause() { reporter_.setSilent(was_); }
        SilentPause(const SilentPause&) = delete;
        SilentPause& operator=(const SilentPause&) = delete;

    private:
        ErrorReporter& reporter_;
        bool was_;
    };
    ErrorReporter& reporter() { return reporter_; }

private:
    // What the main window shows, to tell observers what changed.
    struct VisibleState {
        ControlState controls;
        std::string title, selector;
        std::vector<std::string> recentFiles;
        std::string location1, location2;
        RecentLocations recent1, recent2;
        int runningState = 0;
        bool batchRunning = false;
    };
    // Passes the engine's calls on to the front end, telling observers of progress and of runs
    // starting and ending.
    class ObservedFrontEnd : public FrontEndPort {
    public:
        explicit ObservedFrontEnd(AppController& owner) : owner_(owner) {}
        void pump() override;
        void message(const std::string& text) override;
        bool question(const std::string& text) override;
        DeleteAnswer confirmDelete(const std::string& caption,
                                   const std::array<std::string, 4>& lines) override;
        bool checkList(CheckListSets& sets) override;
        void report(const SyncResults& results) override;
        void progress(const ProgressView& view) override;
        void runningChanged(int runningState) override;
        void actionDone(ActionKind kind, const FileItem& target, bool failed) override;

    private:
        AppController& owner_;
    };
    // Held by each public call that may change what is shown: the outermost one tells the
    // observers when it ends.
    class ChangeNotice {
    public:
        explicit ChangeNotice(AppController& owner);
        ~ChangeNotice();
        ChangeNotice(const ChangeNotice&) = delete;
        ChangeNotice& operator=(const ChangeNotice&) = delete;

    private:
        AppController& owner_;
    };
    VisibleState visibleState() const;
    void publishChanges(ChangeSet extra = {});

    bool openProfile(const std::string& path, bool clearBatch);
    bool openBatch(const std::string& path);
    void copyProfileIntoWindow();
    void applyOptionSettings(const OptionSettings& stored);
    OptionSettings optionSettingsForExit() const;
    void putRecentFile(const std::string& path);
    void storeOpenPath(const std::string& path);
    void silentFromProfile();
    void setSilent(bool on);
    void takeControlValues();
    bool busy() const { return flags_.runningState != 0 || batchRunning_; }
    std::string& textOf(Location which) { return which == Location::One ? location1_ : location2_; }
    void storeLocation(Location which, const std::string& path);
    void refreshSyncButtons();
    RunOutcome runBetween(const std::string& source, const std::string& target, int state);
    bool refuseWhileRunning(const char* context);

    AppServices services_;
    ObservedFrontEnd frontEnd_{*this};
    std::vector<ControllerObserver*> observers_;
    VisibleState shown_;
    int noticeDepth_ = 0;
    ProgressView progress_;

    // The engine objects of a run.
    RunLog log_;
    LastReason lastReason_;
    ErrorReporter reporter_;
    RunFlags flags_;
    SyncOptions runOptions_;
    RunSafeguards safeguards_;
    SyncResults results_;
    ActionList actions_;
    FileCommands commands_;
    LocalLocationAccess sourceAccess_;
    LocalLocationAccess targetAccess_;
    Profile profile_;
    RunContext context_;
    Synchroniser synchroniser_;

    Batch batch_;
    GeneralSettings general_;
    LiveOptions options_;
    bool compareOnSize_ = false;
    std::int32_t adjustHours_ = 0;
    std::int32_t adjustMinutes_ = 0;
    bool hideOtherButton_ = false;
    bool autoStartOn_ = false;
    Direction autoStartDirection_ = Direction::OneToTwo;
    bool copyAttributes_ = false;

    std::string location1_, location2_;
    bool edited1_ = false, edited2_ = false;
    RecentLocations recent1_{}, recent2_{};
    std::vector<std::string> recentFiles_;
    std::string selectorText_;
    std::string profilePath_, batchPath_;
    std::string title_ = "Velmora";
    bool show12_ = true, show21_ = true;

    AutoStart autoStart_ = AutoStart::None;
    bool batchRunning_ = false;
    bool exitPending_ = false; // "Exit on completion" seen during a batch
    bool finished_ = false;
};

} // namespace velmora
