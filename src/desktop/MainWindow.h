#pragma once

#include "app/AppController.h"
#include "browse/BrowseEnvironment.h"
#include "desktop/QtFrontEnd.h"
#include "desktop/RunningFrame.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace velmora {
class SettingsStore;
namespace platform {
class FileSystem;
}
} // namespace velmora

namespace velmora::desktop {

// The main window: the current profile or batch file, the two locations with their recent
// lists, the option boxes, the synchronise buttons and the progress of a run. The rules live in
// the controller; the window shows its state after every action and passes the user's actions on.
class MainWindow : public QDialog, private RunDisplay, private ControllerObserver {
    Q_OBJECT

public:
    MainWindow(platform::FileSystem& fileSystem, SettingsStore& settings, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Reads the settings and opens the file named on the command line (empty: the remembered one).
    // A run it asks for starts half a second after the window shows.
    void startUp(const std::string& commandLineFile);

    AppController& controller() { return *controller_; }

    // A stop signal (SIGTERM, SIGHUP: a logout, a service manager; SIGINT): a run going on is
    // stopped and writes its log, open dialogs are closed as cancelled, then the window closes.
    void endFromOutside(int signal);
    // How a run opens locations on other machines, asking in this window for what it needs.
    void setLocationOpener(std::function<std::string(const std::string&)> open);
    // How the folder dialogs reach servers (the recent locations are added here).
    void setRemoteBrowsing(browse::RemoteBrowsing remote);

    // Shows everything the controller holds (after each of the window's own actions: the
    // option ticks and the tooltip setting are not part of the controller's change notice).
    void refresh();

public Q_SLOTS:
    // The escape key and the close box: refused while a run is going.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildWindow();
    QWidget* buildProfileRow();
    QWidget* buildLocations();
    QWidget* buildOptions();
    QWidget* buildSynchroniseColumn(Direction direction);
    QWidget* buildProgress();
    QWidget* buildButtons();
    void connectActions();

    void refreshControls();
    void refreshSelector();
    void refreshLocations();
    void refreshOptions();
    // The progress bar and its texts: shown while a run or a batch goes on.
    void showProgressRow(bool shown);
    void applyTooltips();

    // RunDisplay
    void showProgress(const ProgressView& view) override;
    bool silentNow() const override;
    // ControllerObserver: changes the window did not ask for itself (runs, batch runs).
    void controllerChanged(ChangeSet changes) override;

    // Actions
    void synchronise(Direction direction);
    void runBatch();
    void runAutoStart();
    void openFile();
    void saveFile();
    void saveFileAs();
    // A path from the file dialog: open (Open) or save (Save As, asking before overwriting).
    void closeFile();
    void selectRecentFile(int index);
    void browse(Location which);
    void optionClicked(OptionBox box, bool ticked);
    void exitProgram();
    // After anything that may end with the exit action ("Exit on completion"): close.
    void closeWhenFinished();

    SettingsStore& settings_;
    QtFrontEnd frontEnd_;
    // What the folder dialog and the exclusion dialogs browse with.
    browse::BrowseEnvironment browseEnvironment_;
    std::unique_ptr<AppController> controller_;
    bool autoStartScheduled_ = false;
    bool iconButtonsShown_ = false;
    bool progressRowShown_ = false;
    // The window's height before the progress row showed, to go back to after the run.
    int heightBeforeRun_ = 0;

    // Profile
    QComboBox* profileSelector_ = nullptr;
    QPushButton* openButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* saveAsButton_ = nullptr;
    // Locations
    QComboBox* locationBox_[2] = {};
    QPushButton* browseButton_[2] = {};
    // Synchronise: per direction the running frame, its caption, the text and icon buttons and
    // the "Silent Mode" label.
    RunningFrame* runningFrame_[2] = {};
    QLabel* runningCaption_[2] = {};
    QPushButton* textButton_[2] = {};
    QToolButton* iconButton_[2] = {};
    QLabel* silentLabel_[2] = {};
    // Options
    QCheckBox* optionBox_[8] = {};
    // Progress
    QLabel* phaseLabel_ = nullptr;
    QLineEdit* activityBox_ = nullptr;
    QLabel* progressLabel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* percentLabel_ = nullptr;
    QLabel* timeRemainingLabel_ = nullptr;
    QLabel* timeLabel_ = nullptr;
    // Buttons
    QPushButton* moreOptionsButton_ = nullptr;
    QPushButton* exclusionsButton_ = nullptr;
    QPushButton* lastReportButton_ = nullptr;
    QPushButton* batchButton_ = nullptr;
    RunningFrame* runBatchFrame_ = nullptr;
    QPushButton* runBatchButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QPushButton* configurationButton_ = nullptr;
    QPushButton* helpButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
};

} // namespace velmora::desktop
