#include "desktop/MainWindow.h"

#include "desktop/DialogLaunchers.h"
#include "profiles/SettingsStore.h"
#include "profiles/StoredSettings.h"
#include "views/RunViews.h"
#include "widgets/ActionIcons.h"
#include "widgets/Text.h"
#include "widgets/Tooltips.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

namespace velmora::desktop {

namespace {

using widgets::fromPath;
using widgets::fromText;
using widgets::toPath;

// How long after the window shows a run named on the command line starts.
constexpr int kAutoStartDelayMs = 500;

constexpr int kOne = 0;
constexpr int kTwo = 1;
int indexOf(Direction direction) {
    return direction == Direction::OneToTwo ? kOne : kTwo;
}

struct OptionBoxText {
    OptionBox box;
    const char* objectName;
    const char* caption; // with its mnemonic
};
// In the order of OptionBox.
constexpr OptionBoxText kOptionBoxes[] = {
    {OptionBox::AddMissing, "addFilesBox", "Add new files/folders found in source and not found in tar&get"},
    {OptionBox::DeleteMissing, "deleteFilesBox",
     "&Delete files/folders found in target but not found in source"},
    {OptionBox::ConfirmDeletes, "confirmDeletesBox", "Ask for con&firmation on all deletes"},
    {OptionBox::CheckSubFolders, "checkSubFoldersBox", "Check s&ub-folders"},
    {OptionBox::CheckActions, "checkActionsBox", "Chec&k list of actions before final execution"},
    {OptionBox::SilentMode, "silentModeBox", "S&ilent Mode"},
    {OptionBox::ExitOnCompletion, "exitOnCompletionBox", "Exit on completio&n"},
    {OptionBox::OverwriteReadOnly, "overwriteReadOnlyBox", "Overwrite/delete read onl&y files"},
};

const widgets::TooltipTable kTooltips{
    {"exitButton", "Exit Velmora"},
    {"browseOneButton", "Browse to select location 1"},
    {"batchButton", "Select profiles to be run as a batch"},
    {"browseTwoButton", "Browse to select location 2"},
    {"synchroniseOneToTwoButton", "Synchronise location 2 with location 1 (copy files from 1 to 2)"},
    {"runningFrameOneToTwo", "Synchronise location 2 with location 1 (copy files from 1 to 2)"},
    {"synchroniseOneToTwoIconButton", "Synchronise location 2 with location 1 (copy files from 1 to 2)"},
    {"synchroniseTwoToOneButton", "Synchronise location 1 with location 2 (copy files from 2 to 1)"},
    {"runningFrameTwoToOne", "Synchronise location 1 with location 2 (copy files from 2 to 1)"},
    {"synchroniseTwoToOneIconButton", "Synchronise location 1 with location 2 (copy files from 2 to 1)"},
    {"deleteFilesBox", "If selected files and folders in the target system will be deleted if they do not "
                       "exist on the source"},
    {"addFilesBox",
     "If selected files and folders in the source system will be added to the target system if "
     "they do not exist"},
    {"confirmDeletesBox", "You will be asked for confirmation on any deletes"},
    {"checkSubFoldersBox", "All sub-folders will be processed"},
    {"activityBox", "Shows what the synchronisation is currently doing"},
    {"stopButton", "Terminate the current Synchronisation"},
    {"runBatchButton", "Run the current batch"},
    {"helpButton", "View help"},
    {"openButton", "Open a profile"},
    {"saveButton", "Save a profile"},
    {"saveAsButton", "Save a profile under a new name"},
    {"exclusionsButton",
     "Select files/folders on the FTP server to be excluded (ignored) during the synchronisation"},
    {"lastReportButton", "View the results of the last synchronisation that was run"},
    {"checkActionsBox",
     "You will be given the opportunity to check and edit a list of all actions before they "
     "are executed (makes the check deletes option redundant and disables it)"},
    {"closeButton", "Close a profile. Mainly intended to be used if you don't want a profile opened when "
                    "Velmora is next started"},
    {"overwriteReadOnlyBox", "Allows Velmora to overwrite/delete read only files on the target system"},
    {"progressBar",
     "Shows an estimate of the current progress. Due to the nature of how connections are made "
     "and files copied this may be a little \"lumpy\"!"},
    {"configurationButton", "Configure general Velmora options"},
    {"moreOptionsButton", "Edit more options - includes log files, auto start, time zones..."},
};

QPushButton* makeButton(const char* objectName, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    return button;
}

// Hidden controls keep their room, so the window does not jump when a run starts or ends.
void keepRoomWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

bool isEnterKey(const QKeyEvent& event) {
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

bool isTextField(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) != nullptr ||
           qobject_cast<const QComboBox*>(widget) != nullptr;
}

void apply(QWidget* widget, const ControlView& view) {
    widget->setEnabled(view.enabled);
    widget->setVisible(view.visible);
}

} // namespace

MainWindow::MainWindow(platform::FileSystem& fileSystem, SettingsStore& settings, QWidget* parent)
    : QDialog(parent), settings_(settings), frontEnd_(*this, *this),
      browseEnvironment_(frontEnd_, fileSystem, &settings),
      controller_(std::make_unique<AppController>(AppServices{frontEnd_, fileSystem, settings})) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(widgets::kProgramName);
    setWindowIcon(widgets::programIcon());
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);
    frontEnd_.setFolderChooser([this](const QString& title, const QString& start) {
        return chooseFolder(this, browseEnvironment_, title, start);
    });
    buildWindow();
    connectActions();
    controller_->addObserver(*this);
    refresh();
}

void MainWindow::setLocationOpener(std::function<std::string(const std::string&)> open) {
    controller_->setLocationOpener(std::move(open));
}

void MainWindow::setRemoteBrowsing(browse::RemoteBrowsing remote) {
    remote.recentLocations = [this] {
        std::vector<std::string> locations;
        for (const Location which : {Location::One, Location::Two})
            for (const std::string& location : controller_->recentLocations(which))
                locations.push_back(location);
        return locations;
    };
    browseEnvironment_.remote = std::move(remote);
}

MainWindow::~MainWindow() {
    controller_->removeObserver(*this);
}

void MainWindow::buildWindow() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildProfileRow());
    layout->addWidget(buildLocations());

    auto* middle = new QHBoxLayout;
    middle->addWidget(buildOptions(), 1);
    auto* column = new QVBoxLayout;
    column->addWidget(buildSynchroniseColumn(Direction::OneToTwo));
    column->addWidget(buildSynchroniseColumn(Direction::TwoToOne));
    column->addStretch(1);
    middle->addLayout(column);
    layout->addLayout(middle);

    layout->addWidget(buildProgress());
    layout->addWidget(buildButtons());
    layout->setSizeConstraint(QLayout::SetMinimumSize);
}

QWidget* MainWindow::buildProfileRow() {
    auto* group = new QGroupBox(this);
    auto* row = new QHBoxLayout(group);
    auto* label = new QLabel(QStringLiteral("P&rofile"), group);
    profileSelector_ = new QComboBox(group);
    profileSelector_->setObjectName(QStringLiteral("profileSelector"));
    profileSelector_->setAccessibleName(QStringLiteral("Profile"));
    profileSelector_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    profileSelector_->setMinimumContentsLength(40);
    profileSelector_->installEventFilter(this);
    label->setBuddy(profileSelector_);
    openButton_ = makeButton("openButton", "&Open", group);
    closeButton_ = makeButton("closeButton", "&Close", group);
    saveButton_ = makeButton("saveButton", "&Save", group);
    saveAsButton_ = makeButton("saveAsButton", "Sa&ve As", group);
    row->addWidget(label);
    row->addWidget(profileSelector_, 1);
    for (QPushButton* button : {openButton_, closeButton_, saveButton_, saveAsButton_})
        row->addWidget(button);
    return group;
}

QWidget* MainWindow::buildLocations() {
    auto* group = new QGroupBox(this);
    auto* grid = new QGridLayout(group);
    const char* labels[2] = {"Location &1", "Location &2"};
    const char* names[2] = {"locationOneBox", "locationTwoBox"};
    const char* accessible[2] = {"Location 1", "Location 2"};
    const char* browseNames[2] = {"browseOneButton", "browseTwoButton"};
    const char* browseCaptions[2] = {"Bro&wse", "Brows&e"};
    for (int i : {kOne, kTwo}) {
        auto* label = new QLabel(QString::fromUtf8(labels[i]), group);
        auto* box = new QComboBox(group);
        box->setObjectName(QString::fromLatin1(names[i]));
        box->setAccessibleName(QString::fromLatin1(accessible[i]));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(40);
        // The box itself holds the focus and passes keys on to its line edit directly, so the
        // focus leaving and Enter are seen here, not on the line edit.
        box->installEventFilter(this);
        label->setBuddy(box);
        locationBox_[i] = box;
        browseButton_[i] = makeButton(browseNames[i], browseCaptions[i], group);
        browseButton_[i]->setAccessibleName(QStringLiteral("Browse ") + QString::fromLatin1(accessible[i]));
        grid->addWidget(label, i, 0);
        grid->addWidget(box, i, 1);
        grid->addWidget(browseButton_[i], i, 2);
    }
    grid->setColumnStretch(1, 1);
    return group;
}

QWidget* MainWindow::buildOptions() {
    auto* group = new QGroupBox(this);
    auto* column = new QVBoxLayout(group);
    for (const OptionBoxText& option : kOptionBoxes) {
        auto* box = new QCheckBox(QString::fromUtf8(option.caption), group);
        box->setObjectName(QString::fromLatin1(option.objectName));
        optionBox_[static_cast<int>(option.box)] = box;
        column->addWidget(box);
    }
    column->addStretch(1);
    return group;
}

QWidget* MainWindow::buildSynchroniseColumn(Direction direction) {
    const int i = indexOf(direction);
    const bool oneToTwo = direction == Direction::OneToTwo;
    auto* frame = new RunningFrame(this);
    frame->setObjectName(oneToTwo ? QStringLiteral("runningFrameOneToTwo")
                                  : QStringLiteral("runningFrameTwoToOne"));
    auto* layout = new QVBoxLayout(frame);
    auto* caption = new QLabel(QStringLiteral("Running"), frame);
    caption->setObjectName(oneToTwo ? QStringLiteral("runningCaptionOneToTwo")
                                    : QStringLiteral("runningCaptionTwoToOne"));
    caption->setAlignment(Qt::AlignHCenter);
    keepRoomWhenHidden(caption);

    const QString accessible = oneToTwo ? QStringLiteral("Synchronise Location 1 to Location 2")
                                        : QStringLiteral("Synchronise Location 2 to Location 1");
    // The caption's arrow says the direction; an arrow icon beside it would say it twice.
    auto* textButton = new QPushButton(oneToTwo ? QStringLiteral("Location 1 ==> Location 2")
                                                : QStringLiteral("Location 1 <== Location 2"),
                                       frame);
    textButton->setObjectName(oneToTwo ? QStringLiteral("synchroniseOneToTwoButton")
                                       : QStringLiteral("synchroniseTwoToOneButton"));
    textButton->setAccessibleName(accessible);
    textButton->setAutoDefault(false);
    // The window's main actions: taller than the other buttons.
    textButton->setMinimumHeight(textButton->sizeHint().height() * 3 / 2);

    auto* iconButton = new QToolButton(frame);
    iconButton->setObjectName(oneToTwo ? QStringLiteral("synchroniseOneToTwoIconButton")
                                       : QStringLiteral("synchroniseTwoToOneIconButton"));
    iconButton->setAccessibleName(accessible);
    // Folder 1, the arrow, folder 2: a picture twice as wide as it is high.
    iconButton->setIcon(widgets::directionIcon(oneToTwo, widgets::ArrowStyle::Large));
    iconButton->setIconSize(QSize(96, 48));
    iconButton->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    auto* silent = new QLabel(QStringLiteral("Silent Mode"), frame);
    silent->setObjectName(oneToTwo ? QStringLiteral("silentModeLabelOneToTwo")
                                   : QStringLiteral("silentModeLabelTwoToOne"));
    silent->setAlignment(Qt::AlignHCenter);
    keepRoomWhenHidden(silent);

    layout->addWidget(caption);
    layout->addWidget(textButton);
    layout->addWidget(iconButton);
    layout->addWidget(silent);
    runningFrame_[i] = frame;
    runningCaption_[i] = caption;
    textButton_[i] = textButton;
    iconButton_[i] = iconButton;
    silentLabel_[i] = silent;
    return frame;
}

QWidget* MainWindow::buildProgress() {
    auto* group = new QGroupBox(this);
    auto* grid = new QGridLayout(group);
    phaseLabel_ = new QLabel(QStringLiteral("Execution"), group);
    phaseLabel_->setObjectName(QStringLiteral("phaseLabel"));
    activityBox_ = new QLineEdit(group);
    activityBox_->setObjectName(QStringLiteral("activityBox"));
    activityBox_->setReadOnly(true);
    activityBox_->setAccessibleName(QStringLiteral("Activity"));
    phaseLabel_->setBuddy(activityBox_);

    progressLabel_ = new QLabel(QStringLiteral("Progress"), group);
    progressLabel_->setObjectName(QStringLiteral("progressLabel"));
    progressBar_ = new QProgressBar(group);
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setAccessibleName(QStringLiteral("Progress"));
    progressBar_->setRange(0, 100);
    progressBar_->setTextVisible(false);
    percentLabel_ = new QLabel(group);
    percentLabel_->setObjectName(QStringLiteral("percentLabel"));
    percentLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    percentLabel_->setMinimumWidth(percentLabel_->fontMetrics().horizontalAdvance(QStringLiteral("100")));
    timeRemainingLabel_ = new QLabel(QStringLiteral("%        Time remaining"), group);
    timeRemainingLabel_->setObjectName(QStringLiteral("timeRemainingLabel"));
    timeLabel_ = new QLabel(group);
    timeLabel_->setObjectName(QStringLiteral("timeLabel"));
    timeLabel_->setMinimumWidth(timeLabel_->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")));
    // The progress row takes no room while idle, so no empty band stays under the activity line.
    for (QWidget* widget : {static_cast<QWidget*>(progressLabel_), static_cast<QWidget*>(progressBar_),
                            static_cast<QWidget*>(percentLabel_), static_cast<QWidget*>(timeRemainingLabel_),
                            static_cast<QWidget*>(timeLabel_)})
        widget->hide();

    grid->addWidget(phaseLabel_, 0, 0);
    grid->addWidget(activityBox_, 0, 1, 1, 4);
    grid->addWidget(progressLabel_, 1, 0);
    grid->addWidget(progressBar_, 1, 1);
    grid->addWidget(percentLabel_, 1, 2);
    grid->addWidget(timeRemainingLabel_, 1, 3);
    grid->addWidget(timeLabel_, 1, 4);
    grid->setColumnStretch(1, 1);
    return group;
}

QWidget* MainWindow::buildButtons() {
    auto* panel = new QWidget(this);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    moreOptionsButton_ = makeButton("moreOptionsButton", "&More Options", panel);
    exclusionsButton_ = makeButton("exclusionsButton", "E&xclusions", panel);
    lastReportButton_ = makeButton("lastReportButton", "&Last Report", panel);
    batchButton_ = makeButton("batchButton", "&Batch", panel);
    runBatchFrame_ = new RunningFrame(panel);
    runBatchFrame_->setObjectName(QStringLiteral("runningFrameBatch"));
    auto* batchLayout = new QHBoxLayout(runBatchFrame_);
    batchLayout->setContentsMargins(3, 3, 3, 3);
    runBatchButton_ = makeButton("runBatchButton", "Run B&atch", runBatchFrame_);
    batchLayout->addWidget(runBatchButton_);
    stopButton_ = makeButton("stopButton", "Sto&p", panel);
    configurationButton_ = makeButton("configurationButton", "Configura&tion", panel);
    helpButton_ = makeButton("helpButton", "&Help", panel);
    exitButton_ = makeButton("exitButton", "Exit", panel);
    exitButton_->setDefault(true);
    for (QWidget* widget :
         {static_cast<QWidget*>(moreOptionsButton_), static_cast<QWidget*>(exclusionsButton_),
          static_cast<QWidget*>(lastReportButton_), static_cast<QWidget*>(batchButton_),
          static_cast<QWidget*>(runBatchFrame_)})
        row->addWidget(widget);
    row->addStretch(1);
    for (QPushButton* button : {stopButton_, configurationButton_, helpButton_, exitButton_})
        row->addWidget(button);
    return panel;
}

void MainWindow::connectActions() {
    connect(openButton_, &QPushButton::clicked, this, [this] { openFile(); });
    connect(closeButton_, &QPushButton::clicked, this, [this] { closeFile(); });
    connect(saveButton_, &QPushButton::clicked, this, [this] { saveFile(); });
    connect(saveAsButton_, &QPushButton::clicked, this, [this] { saveFileAs(); });
    connect(profileSelector_, &QComboBox::activated, this, [this](int index) { selectRecentFile(index); });
    for (int i : {kOne, kTwo}) {
        const Location which = i == kOne ? Location::One : Location::Two;
        connect(locationBox_[i]->lineEdit(), &QLineEdit::textEdited, this,
                [this, which](const QString& text) { controller_->typeLocation(which, toPath(text)); });
        connect(locationBox_[i], &QComboBox::activated, this, [this, which, i](int index) {
            controller_->chooseLocation(which, toPath(locationBox_[i]->itemText(index)));
            refresh();
        });
        connect(browseButton_[i], &QPushButton::clicked, this, [this, which] { browse(which); });
        const Direction direction = i == kOne ? Direction::OneToTwo : Direction::TwoToOne;
        connect(textButton_[i], &QPushButton::clicked, this, [this, direction] { synchronise(direction); });
        connect(iconButton_[i], &QToolButton::clicked, this, [this, direction] { synchronise(direction); });
    }
    for (const OptionBoxText& option : kOptionBoxes) {
        const OptionBox box = option.box;
        // Every change the user makes, by mouse, keyboard or an accessibility action; the window's
        // own updates are made with the signals blocked.
        connect(optionBox_[static_cast<int>(box)], &QCheckBox::toggled, this,
                [this, box](bool ticked) { optionClicked(box, ticked); });
    }
    connect(moreOptionsButton_, &QPushButton::clicked, this, [this] {
        editMoreOptions(this, *controller_);
        refresh();
    });
    connect(exclusionsButton_, &QPushButton::clicked, this, [this] {
        editExclusions(this, *controller_, browseEnvironment_);
        refresh();
    });
    connect(configurationButton_, &QPushButton::clicked, this, [this] {
        editConfiguration(this, *controller_);
        refresh();
    });
    connect(batchButton_, &QPushButton::clicked, this, [this] {
        editBatchList(this, *controller_);
        refresh();
    });
    connect(lastReportButton_, &QPushButton::clicked, this, [this] {
        const AppController::SilentPause pause(controller_->reporter());
        views::showReport(this, controller_->results(), false);
    });
    connect(runBatchButton_, &QPushButton::clicked, this, [this] { runBatch(); });
    connect(stopButton_, &QPushButton::clicked, this, [this] { controller_->stop(); });
    connect(helpButton_, &QPushButton::clicked, this, [this] { showHelp(this); });
    // The keys every desktop program answers; each presses its button, so a button the window
    // has disabled (Open during a run) ignores its key too.
    const std::pair<QKeySequence, QPushButton*> shortcuts[] = {
        {QKeySequence::Open, openButton_},
        {QKeySequence::Save, saveButton_},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), saveAsButton_},
        {QKeySequence::HelpContents, helpButton_},
        {QKeySequence(Qt::CTRL | Qt::Key_Q), exitButton_},
    };
    for (const auto& [keys, button] : shortcuts) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, button, [button] {
            if (button->isVisible())
                button->click();
        });
    }
    connect(exitButton_, &QPushButton::clicked, this, [this] { exitProgram(); });
}

// --- Showing the controller's state ----------------------------------------------------------

void MainWindow::refresh() {
    frontEnd_.showPendingProgress();
    setWindowTitle(fromText(controller_->title()));
    refreshSelector();
    refreshLocations();
    refreshOptions();
    refreshControls();
    applyTooltips();
}

void MainWindow::refreshControls() {
    const ControlState state = controller_->controlState();
    apply(openButton_, state.open);
    apply(closeButton_, state.close);
    apply(saveButton_, state.save);
    apply(saveAsButton_, state.saveAs);
    apply(profileSelector_, state.profileSelector);
    apply(locationBox_[kOne], state.location1);
    apply(locationBox_[kTwo], state.location2);
    apply(browseButton_[kOne], state.browse1);
    apply(browseButton_[kTwo], state.browse2);

    const ControlView* synchronise[2] = {&state.synchronise12, &state.synchronise21};
    const ControlView* frames[2] = {&state.runningFrame12, &state.runningFrame21};
    const QString caption = fromText(state.runningFrameCaption);
    for (int i : {kOne, kTwo}) {
        textButton_[i]->setVisible(!state.iconButtons && synchronise[i]->visible);
        iconButton_[i]->setVisible(state.iconButtons && synchronise[i]->visible);
        textButton_[i]->setEnabled(synchronise[i]->enabled);
        iconButton_[i]->setEnabled(synchronise[i]->enabled);
        // The frame stays in place and only its border and caption come and go.
        runningFrame_[i]->setRunning(frames[i]->visible);
        runningCaption_[i]->setText(caption);
        runningCaption_[i]->setVisible(frames[i]->visible);
        silentLabel_[i]->setVisible(state.silentLabels.visible && synchronise[i]->visible);
    }

    const ControlView* options[8] = {&state.addMissing,       &state.deleteMissing,    &state.confirmDeletes,
                                     &state.checkSubFolders,  &state.checkActions,     &state.silentMode,
                                     &state.exitOnCompletion, &state.overwriteReadOnly};
    for (int i = 0; i < 8; ++i)
        apply(optionBox_[i], *options[i]);

    apply(exclusionsButton_, state.exclusions);
    apply(moreOptionsButton_, state.moreOptions);
    apply(batchButton_, state.batch);
    apply(runBatchButton_, state.runBatch);
    runBatchFrame_->setVisible(state.runBatch.visible);
    runBatchFrame_->setRunning(state.runningFrameBatch.visible);
    apply(lastReportButton_, state.lastReport);
    apply(stopButton_, state.stop);
    apply(exitButton_, state.exit);
    apply(configurationButton_, state.configuration);
    apply(helpButton_, state.help);
    // A batch keeps the progress row between its steps, so the window does not change size with
    // each profile.
    showProgressRow(state.progress.visible || state.runningFrameBatch.visible);
    // The large arrows take more room than the captions: after a change of style the window
    // fits its contents again instead of keeping the larger size.
    if (state.iconButtons != iconButtonsShown_) {
        iconButtonsShown_ = state.iconButtons;
        QTimer::singleShot(0, this, [this] { resize(minimumSizeHint()); });
    }
}

void MainWindow::showProgressRow(bool shown) {
    if (shown == progressRowShown_)
        return;
    progressRowShown_ = shown;
    if (shown)
        heightBeforeRun_ = height();
    for (QWidget* widget : {static_cast<QWidget*>(progressLabel_), static_cast<QWidget*>(progressBar_),
                            static_cast<QWidget*>(percentLabel_), static_cast<QWidget*>(timeRemainingLabel_),
                            static_cast<QWidget*>(timeLabel_)})
        widget->setVisible(shown);
    // At once, not when the layouts between the row and the window get round to their posted
    // requests: the window grows by the row as the run starts and gives that room back as it
    // ends, keeping a height the user chose.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    layout()->activate();
    if (!shown && isVisible() && !isMaximized() && !isFullScreen())
        resize(width(), heightBeforeRun_);
}

void MainWindow::refreshSelector() {
    const QSignalBlocker blocker(profileSelector_);
    profileSelector_->clear();
    for (const std::string& path : controller_->selectorList())
        profileSelector_->addItem(fromPath(path));
    profileSelector_->setCurrentIndex(profileSelector_->findText(fromPath(controller_->selectorText())));
    if (controller_->selectorText().empty())
        profileSelector_->setCurrentIndex(-1);
}

void MainWindow::refreshLocations() {
    for (int i : {kOne, kTwo}) {
        const Location which = i == kOne ? Location::One : Location::Two;
        QComboBox* box = locationBox_[i];
        const QSignalBlocker blocker(box);
        QStringList entries;
        for (const std::string& path : controller_->recentLocations(which))
            if (!path.empty())
                entries << fromPath(path);
        QStringList shown;
        for (int row = 0; row < box->count(); ++row)
            shown << box->itemText(row);
        if (shown != entries) {
            box->clear();
            box->addItems(entries);
        }
        const QString text = fromPath(controller_->locationText(which));
        if (box->currentText() != text)
            box->setEditText(text);
    }
}

void MainWindow::refreshOptions() {
    const ProfileOptions& options = controller_->options();
    const bool ticked[8] = {options.addMissing,       options.deleteMissing,    options.confirmDeletes,
                            options.checkSubFolders,  options.checkActions,     options.silentMode,
                            options.exitOnCompletion, options.overwriteReadOnly};
    for (int i = 0; i < 8; ++i) {
        const QSignalBlocker quiet(optionBox_[i]);
        optionBox_[i]->setChecked(ticked[i]);
    }
}

void MainWindow::applyTooltips() {
    widgets::setTooltipsShown(controller_->general().showTooltips);
    widgets::applyTooltips(this, kTooltips, controller_->general().showTooltips);
}

// --- What a run shows -----------------------------------------------------------------------

void MainWindow::showProgress(const ProgressView& view) {
    phaseLabel_->setText(view.phase.empty() ? QStringLiteral("Execution") : fromText(view.phase));
    activityBox_->setText(fromPath(view.activity));
    progressBar_->setValue(view.barPosition);
    percentLabel_->setText(fromText(view.percentText));
    timeLabel_->setText(fromText(view.timeText));
}

void MainWindow::controllerChanged(ChangeSet changes) {
    if (changes.has(Change::Title))
        setWindowTitle(fromText(controller_->title()));
    if (changes.has(Change::Selector) || changes.has(Change::RecentFiles))
        refreshSelector();
    if (changes.has(Change::Locations))
        refreshLocations();
    if (changes.has(Change::Controls) || changes.has(Change::Running)) {
        refreshOptions();
        refreshControls();
    }
    // Progress comes through the front end, which shows it at most every kProgressInterval.
}

bool MainWindow::silentNow() const {
    return controller_->silent();
}

// --- Actions ----------------------------------------------------------------------------------

void MainWindow::startUp(const std::string& commandLineFile) {
    controller_->startUp(commandLineFile);
    refresh();
}

void MainWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!autoStartScheduled_ && controller_->autoStart() != AutoStart::None) {
        autoStartScheduled_ = true;
        QTimer::singleShot(kAutoStartDelayMs, this, [this] { runAutoStart(); });
    }
}

void MainWindow::runAutoStart() {
    controller_->runAutoStart();
    refresh();
    closeWhenFinished();
}

void MainWindow::synchronise(Direction direction) {
    controller_->synchronise(direction);
    refresh();
    closeWhenFinished();
}

void MainWindow::runBatch() {
    controller_->runBatch();
    refresh();
    closeWhenFinished();
}

void MainWindow::endFromOutside(int signal) {
    controller_->endFromOutside(stopCauseOfSignal(signal));
    // Dialogs opened before the signal wait for the user: close each as cancelled, then the
    // window once the run (if any) has ended. Checked from the event loop, which a run pumps too.
    auto* closer = new QTimer(this);
    connect(closer, &QTimer::timeout, this, [this] {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != this) {
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
            return;
        }
        if (controller_->finished())
            QDialog::accept();
    });
    closer->start(50);
}

void MainWindow::closeWhenFinished() {
    if (controller_->finished())
        QDialog::accept();
}

void MainWindow::exitProgram() {
    if (controller_->exit())
        QDialog::accept();
}

void MainWindow::reject() {
    if (controller_->finished() || controller_->requestClose())
        QDialog::reject();
}

void MainWindow::optionClicked(OptionBox box, bool ticked) {
    controller_->setOption(box, ticked);
    refresh();
}

void MainWindow::openFile() {
    controller_->open();
    refresh();
}

void MainWindow::saveFile() {
    controller_->save();
    refresh();
}

void MainWindow::saveFileAs() {
    controller_->saveAs();
    refresh();
}

void MainWindow::closeFile() {
    controller_->closeFile();
    refresh();
}

void MainWindow::selectRecentFile(int index) {
    if (index < 0 || index >= profileSelector_->count())
        return;
    controller_->selectRecentFile(toPath(profileSelector_->itemText(index)));
    refresh();
}

void MainWindow::browse(Location which) {
    if (controller_->browse(which))
        refresh();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool enter = event->type() == QEvent::KeyPress && isEnterKey(*static_cast<QKeyEvent*>(event));
    if (watched == profileSelector_ && enter) {
        // Enter opens the list, as Space does, instead of pressing the default button (Exit).
        profileSelector_->showPopup();
        return true;
    }
    for (int i : {kOne, kTwo}) {
        if (watched != locationBox_[i])
            continue;
        const Location which = i == kOne ? Location::One : Location::Two;
        if (event->type() == QEvent::FocusOut &&
            static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
            controller_->locationFocusLost(which);
            refresh();
        } else if (enter) {
            // Enter takes the typed location and the window stays.
            controller_->locationFocusLost(which);
            refresh();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Exit is the default button, but never from a field the user types into: what was typed
    // would be lost with the window.
    if (isEnterKey(*event) && isTextField(QApplication::focusWidget())) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace velmora::desktop
