#pragma once

#include "app/BatchList.h"
#include "app/ConfigurationModel.h"
#include "app/ControlState.h"
#include "app/ControllerObserver.h"
#include "app/Direction.h"
#include "app/ExclusionFilesModel.h"
#include "app/MoreOptionsModel.h"
#include "app/OptionBox.h"
#include "app/OptionMapping.h"
#include "app/RecentPaths.h"
#include "app/ReportModel.h"
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
#include "items/ProfileOptions.h"
#include "profiles/Batch.h"
#include "profiles/Profile.h"
#include "profiles/SettingsStore.h"
#include "profiles/StoredSettings.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
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
    // Opens a location on another machine before a run uses it (the front end's way of asking for
    // host keys and passwords): "" when it is ready or local, else why it cannot be reached.
    std::function<std::string(const std::string& location)> openLocation = {};
};

// One synchronisation asked for by a front end. Without a profile the run uses the window's:
// its locations and the boxes as they are ticked; with one, that profile's settings and
// locations, and the window is left as it is.
struct RunRequest {
    std::optional<Profile> profile;
    // Between the two locations: this direction, or else the profile's auto-start direction,
    // or else Location 1 to Location 2.
    std::optional<Direction> direction;
    // Source and target folders instead of the locations (each gets its trailing '/').
    std::optional<std::pair<std::string, std::string>> folders;
    RunMode mode = RunMode::Execute;
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
    // How locations on other machines are opened (see AppServices::openLocation).
    void setLocationOpener(std::function<std::string(const std::string&)> open) {
        services_.openLocation = std::move(open);
    }
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
    // The exit action has run (by exit(), requestClose(), "Exit on completion" or endFromOutside()).
    bool finished() const { return finished_; }
    // The program is asked to end from outside (SIGTERM, SIGHUP: a logout, a service manager): a
    // run going on is stopped with `cause` and still writes its log; from now on questions answer
    // No and nothing waits for the user (no check-list, no report); the program finishes, without
    // offering to save, as soon as no run is going.
    void endFromOutside(StopCause cause);
    bool endingFromOutside() const { return endingFromOutside_; }

    // --- Files ---------------------------------------------------------------------------
    // Opens a profile (".vmp") or batch (".vmb") file; anything else fails. With clearBatch a
    // profile empties the batch list; with updateRecent a success puts the path first in the
    // recent files. A file that cannot be read changes nothing; one that is not valid leaves
    // nothing open. "OpenPath" is stored either way.
    bool openFile(const std::string& path, bool clearBatch = true, bool updateRecent = true);
    // The Open button: offers to save, asks for a profile or batch file (starting where the last
    // file was opened or saved), opens it and takes "Silent Mode" from the profile. False when
    // cancelled or not opened.
    bool open();
    // A file chosen in the profile selector's list: offer to save, open; a file that fails to open
    // leaves the recent files and empties the selector; the profile shown stays.
    bool selectRecentFile(const std::string& path);
    // Asks whether to save a modified batch (when it lists a profile) or else a modified profile
    // (when one is open), and saves on Yes, asking for a name when nothing names the file yet.
    // False when that save failed or was cancelled.
    bool offerToSave();
    // The Close button.
    void closeFile();
    // Save: to the selector's file; with nothing named yet, Save As.
    bool save();
    // Save As: asks for a name (the batch's filter when the batch lists a profile, else the
    // profile's) and saves there.
    bool saveAs();
    // Save As with a path already chosen: the batch when it lists a profile, else the profile.
    bool saveAs(const std::string& path);

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
    const ProfileOptions& options() const { return options_; }
    const Profile& profile() const { return profile_; }

    // Silent mode off for as long as one of these lives (a dialog is open), restored afterwards.
    class SilentPause {
    public:
        explicit SilentPause(ErrorReporter& reporter) : reporter_(&reporter), was_(reporter.silent()) {
            reporter.setSilent(false);
        }
        ~SilentPause() {
            if (reporter_)
                reporter_->setSilent(was_);
        }
        SilentPause(SilentPause&& other) noexcept
            : reporter_(std::exchange(other.reporter_, nullptr)), was_(other.was_) {}
        SilentPause(const SilentPause&) = delete;
        SilentPause& operator=(const SilentPause&) = delete;
        SilentPause& operator=(SilentPause&&) = delete;

    private:
        ErrorReporter* reporter_;
        bool was_;
    };

    // --- Dialogs -------------------------------------------------------------------------
    // Each dialog is a pair of calls: a session handing out a copy of the dialog's model, with
    // silent mode paused for as long as the session lives (messages of a dialog are always
    // shown), and the OK call taking the model back. Cancel is dropping the session.
    template <typename Model>
    struct DialogSession {
        Model model;
        SilentPause pause;
    };
    // The first problem of a dialog's fields, already shown to the user; the view focuses the
    // field and keeps the dialog open.
    template <typename Model>
    using Refused = std::optional<FieldRefusal<typename Model::Field>>;

    DialogSession<MoreOptionsModel> moreOptions();
    Refused<MoreOptionsModel> acceptMoreOptions(const MoreOptionsModel& model);
    // More Options' Browse: asks for a log file and puts it in the model's log path.
    bool browseLogFile(MoreOptionsModel& model);
    DialogSession<ConfigurationModel> configuration();
    Refused<ConfigurationModel> acceptConfiguration(const ConfigurationModel& model);
    DialogSession<ExclusionFilesModel> exclusions();
    void acceptExclusions(const ExclusionFilesModel& model);
    // The Batch button: closes an open profile (offering to save it) and hands out the list.
    DialogSession<BatchList> batchList();
    // Add Files: asks for profiles (starting at "OpenPath", which the choice updates), checks each
    // (reporting what is not a valid profile or has no automatic start) and appends the rest.
    void addBatchFiles(BatchList& list);
    void addBatchFiles(BatchList& list, const std::vector<std::string>& paths);
    // OK: the entries become the batch (always marked modified); with nothing open and a profile
    // in the list, Save As follows.
    void acceptBatchList(const BatchList& list);
    // "Last Report": the last run's report, which stays open even in silent mode.
    DialogSession<ReportModel> lastReport();
    // A Browse button: asks for a folder, starting at the box's location, and puts it there.
    bool browse(Location which);

    // Configuration confirmed by a front end without a dialog: apply and store.
    void configurationAccepted(const GeneralSettings& settings);
    const GeneralSettings& general() const { return general_; }

    // --- Runs ----------------------------------------------------------------------------
    // A synchronise button: the two locations in one direction, with the boxes as ticked. A run
    // already going is refused (nullopt, the user is told even in silent mode). With "Exit on
    // completion" the exit action follows.
    std::optional<RunOutcome> synchronise(Direction direction);
    // A run a front end asks for (see RunRequest); the same refusal, but never the exit action:
    // the outcome says whether one was asked for. A PlanOnly run leaves its plan in actions().
    std::optional<RunOutcome> run(const RunRequest& request);
    // Runs every profile of the batch in order, each in its auto-start direction; skips what
    // fails to open or has no automatic start; stops after a run ended by Stop; shows the batch
    // file again at the end.
    BatchOutcome runBatch();
    // The Stop button.
    void stop(StopCause cause = StopCause::StopButton) { synchroniser_.stop(cause); }
    RunningState runningState() const { return flags_.runningState; }
    bool batchRunning() const { return batchRunning_; }
    // The last run's results (for "Last Report" and exit statuses) and plan.
    const SyncResults& results() const { return results_; }
    const ActionList& actions() const { return actions_; }
    bool lastReportAvailable() const;
    // The options the next run from the window will use.
    SyncOptions runOptions() const;
    // What every later run must refuse or do besides its options (none by default).
    void setSafeguards(const RunSafeguards& safeguards) { safeguards_ = safeguards; }

    // The folder the last file dialog chose from ("OpenPath"), where the next one starts.
    std::string openPath() const;
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
    // What the profile selector lists (see selectorEntries).
    std::vector<std::string> selectorList() const { return selectorEntries(recentFiles_, selectorText_); }
    const std::string& locationText(Location which) const;
    const RecentLocations& recentLocations(Location which) const;
    const std::string& currentProfilePath() const { return profilePath_; }
    const std::string& currentBatchPath() const { return batchPath_; }
    // Copies of profile values shown and remembered by the main window.
    bool compareOnSize() const { return !options_.compareOnTime; }
    std::int32_t adjustHours() const { return options_.adjustHours; }
    std::int32_t adjustMinutes() const { return options_.adjustMinutes; }
    bool hideOtherButton() const { return options_.hideOtherButton; }
    bool autoStartOn() const { return autoStartOn_; }
    Direction autoStartDirection() const { return autoStartDirection_; }
    bool copyAttributes() const { return options_.copyAttributes; }
    bool silent() const { return reporter_.silent(); }

    ErrorReporter& reporter() { return reporter_; }

private:
    // What the main window shows, to tell observers what changed.
    struct VisibleState {
        ControlState controls;
        std::string title, selector;
        std::vector<std::string> recentFiles;
        std::string location1, location2;
        RecentLocations recent1, recent2;
        RunningState runningState = RunningState::Idle;
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
        bool cautiousQuestion(const std::string& text) override;
        DeleteAnswer confirmDelete(const std::string& caption,
                                   const std::array<std::string, 4>& lines) override;
        bool checkList(CheckListSets& sets) override;
        void report(const SyncResults& results) override;
        void progress(const ProgressView& view) override;
        void runningChanged(RunningState runningState) override;
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
    // A settings file that cannot be read whole is kept aside before anything writes it, and the
    // user is told.
    void keepDamagedSettings();
    // The exit action without the offer to save: the settings to keep are written.
    void finish();
    // After a run or batch: ends the program when it was asked to end from outside meanwhile.
    void finishIfEndingFromOutside();
    std::vector<std::string> chooseFiles(FileChoice request);
    bool saveAsSavesBatch() const { return !batch_.profiles.empty(); }
    // More Options confirmed: refresh the copies of the profile's values.
    void moreOptionsAccepted();
    // Exclusions confirmed: the edited set replaces the profile's.
    void exclusionsAccepted(const ExclusionSet& edited);
    template <typename Model>
    Refused<Model> showRefusal(Refused<Model> refusal);
    bool openBatch(const std::string& path);
    void copyProfileIntoWindow();
    void applyOptionSettings(const ProfileOptions& stored);
    ProfileOptions optionSettingsForExit() const;
    void putRecentFile(const std::string& path);
    void storeOpenPath(const std::string& path);
    void silentFromProfile();
    void setSilent(bool on);
    void takeControlValues();
    bool busy() const { return flags_.runningState != RunningState::Idle || batchRunning_; }
    std::string& textOf(Location which) { return which == Location::One ? location1_ : location2_; }
    void refreshSyncButtons(bool withoutFile = false);
    // The profile a run from the window uses: the open profile with the boxes as ticked now.
    Profile windowProfile() const;
    RunOutcome runBetween(const std::string& source, const std::string& target, RunningState state,
                          const Profile& settings, RunMode mode = RunMode::Execute);
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
    ExclusionSet runExclusions_; // those of the profile being run
    RunContext context_;
    Synchroniser synchroniser_;

    Batch batch_;
    GeneralSettings general_;
    // The window's copy of the options: the eight boxes and More Options' values. The auto-start
    // direction is kept apart, as the window remembers it while Auto Start is off.
    ProfileOptions options_;
    bool autoStartOn_ = false;
    Direction autoStartDirection_ = Direction::OneToTwo;

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
    bool endingFromOutside_ = false;
    std::string exclusionBrowseFolder_; // where the exclusion dialogs' next browse starts
};

} // namespace velmora
