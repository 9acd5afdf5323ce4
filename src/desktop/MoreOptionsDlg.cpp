#include "desktop/MoreOptionsDlg.h"

#include "desktop/DialogFieldsView.h"
#include "widgets/Tooltips.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace velmora::desktop {

namespace {

const widgets::TooltipTable kTooltips{
    {"autoStartBox", "If Velmora is run by opening (double clicking) a profile file the synchronisation will "
                     "automatically start immediately"},
    {"oneToTwoRadio", "On auto-start will synchronise 1 to 2"},
    {"twoToOneRadio", "On auto-start will synchronise 2 to 1"},
    {"hideOtherButtonBox", "Hides one of the synchronisation buttons"},
    {"logPathBox", "Path of log file to send synchronisation results to"},
    {"logFileBox", "Output synchronisation results to a log file"},
    {"overwriteLogRadio", "Select to overwrite an existing log file"},
    {"appendLogRadio", "Select to append to an existing log file"},
    {"copyAttributesBox", "Duplicates all file attributes in the target"},
    {"compareTimeRadio", "Select whether to make comparisons based on time or file size"},
    {"compareSizeRadio", "Select whether to make comparisons based on time or file size"},
    {"hoursBox", "+ or - time to adjust target system times by"},
    {"minutesBox", "+ or - time to adjust target system times by"},
    {"timeAdjustmentLabel", "+ or - time to adjust target system times by"},
};

template <typename Control>
Control* named(Control* control, const char* name) {
    control->setObjectName(QLatin1String(name));
    return control;
}

QLineEdit* numberBox(const std::string& text, const char* name, QWidget* parent) {
    auto* box = named(new QLineEdit(widgets::fromText(text), parent), name);
    box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("-000000")));
    return box;
}

} // namespace

MoreOptionsDlg::MoreOptionsDlg(MoreOptionsModel& model, ErrorReporter& reporter, QWidget* parent)
    : QDialog(parent), model_(model), reporter_(reporter) {
    setObjectName(QStringLiteral("moreOptionsDialog"));
    setWindowTitle(QStringLiteral("More Options"));

    // Automatic start and its direction.
    auto* autoStartGroup = new QGroupBox(this);
    autoStartBox_ = named(new QCheckBox(QStringLiteral("&Auto Start"), this), "autoStartBox");
    oneToTwoRadio_ =
        named(new QRadioButton(QStringLiteral("Location&1 ==> Location2"), this), "oneToTwoRadio");
    twoToOneRadio_ =
        named(new QRadioButton(QStringLiteral("Location1 <== Location&2"), this), "twoToOneRadio");
    hideOtherButtonBox_ =
        named(new QCheckBox(QStringLiteral("&Hide other button"), this), "hideOtherButtonBox");
    auto* directions = new QButtonGroup(this);
    directions->addButton(oneToTwoRadio_);
    directions->addButton(twoToOneRadio_);
    auto* autoStartLayout = new QGridLayout(autoStartGroup);
    autoStartLayout->addWidget(autoStartBox_, 0, 0, 1, 2);
    autoStartLayout->addWidget(oneToTwoRadio_, 1, 1);
    autoStartLayout->addWidget(twoToOneRadio_, 2, 1);
    autoStartLayout->addWidget(hideOtherButtonBox_, 3, 1);
    autoStartLayout->setColumnMinimumWidth(0, fontMetrics().averageCharWidth() * 3);
    autoStartLayout->setColumnStretch(1, 1);

    // How files are compared and copied: one frame, its two headings side by side on one line.
    auto* compareGroup = new QGroupBox(this);
    auto* compareLabel = named(new QLabel(QStringLiteral("Compare on"), this), "compareOnLabel");
    compareTimeRadio_ = named(new QRadioButton(QStringLiteral("&Time"), this), "compareTimeRadio");
    compareSizeRadio_ = named(new QRadioButton(QStringLiteral("File &Size"), this), "compareSizeRadio");
    auto* compareChoices = new QButtonGroup(this);
    for (QRadioButton* radio : {compareTimeRadio_, compareSizeRadio_}) {
        compareChoices->addButton(radio);
        radio->setAccessibleDescription(compareLabel->text());
    }

    auto* adjustLabel = named(new QLabel(QStringLiteral("Time ad&justment"), this), "timeAdjustmentLabel");
    hoursBox_ = numberBox(model_.hoursText, "hoursBox", this);
    minutesBox_ = numberBox(model_.minutesText, "minutesBox", this);
    adjustLabel->setBuddy(hoursBox_);
    hoursBox_->setAccessibleName(QStringLiteral("Time adjustment Hrs"));
    minutesBox_->setAccessibleName(QStringLiteral("Time adjustment Mins"));
    auto* adjustRow = new QHBoxLayout;
    adjustRow->addWidget(hoursBox_);
    adjustRow->addWidget(new QLabel(QStringLiteral("Hrs"), this));
    adjustRow->addWidget(minutesBox_);
    adjustRow->addWidget(new QLabel(QStringLiteral("Mins"), this));
    adjustRow->addStretch(1);

    copyAttributesBox_ = named(new QCheckBox(QStringLiteral("&Copy Attributes"), this), "copyAttributesBox");

    auto* compareLayout = new QGridLayout(compareGroup);
    compareLayout->addWidget(compareLabel, 0, 0);
    compareLayout->addWidget(compareTimeRadio_, 1, 0);
    compareLayout->addWidget(compareSizeRadio_, 2, 0);
    compareLayout->addWidget(adjustLabel, 0, 2);
    compareLayout->addLayout(adjustRow, 1, 2);
    compareLayout->setRowMinimumHeight(3, fontMetrics().height() / 2);
    compareLayout->addWidget(copyAttributesBox_, 4, 0, 1, 3);
    compareLayout->setColumnMinimumWidth(1, fontMetrics().averageCharWidth() * 4);
    compareLayout->setColumnStretch(2, 1);

    // The run log.
    auto* logGroup = new QGroupBox(this);
    logFileBox_ = named(new QCheckBox(QStringLiteral("&Log File"), this), "logFileBox");
    logPathBox_ = named(new QLineEdit(widgets::fromPath(model_.logPath), this), "logPathBox");
    logPathBox_->setAccessibleName(QStringLiteral("Log File"));
    logPathBox_->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
    logBrowseButton_ = named(new QPushButton(QStringLiteral("B&rowse"), this), "logBrowseButton");
    overwriteLogRadio_ = named(new QRadioButton(QStringLiteral("&Overwrite"), this), "overwriteLogRadio");
    appendLogRadio_ = named(new QRadioButton(QStringLiteral("A&ppend"), this), "appendLogRadio");
    auto* logModes = new QButtonGroup(this);
    logModes->addButton(overwriteLogRadio_);
    logModes->addButton(appendLogRadio_);
    auto* logLayout = new QGridLayout(logGroup);
    logLayout->addWidget(logFileBox_, 0, 0, 1, 3);
    logLayout->addWidget(logPathBox_, 1, 0, 1, 2);
    logLayout->addWidget(logBrowseButton_, 1, 2);
    logLayout->addWidget(overwriteLogRadio_, 2, 0);
    logLayout->addWidget(appendLogRadio_, 2, 1);
    logLayout->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &MoreOptionsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &MoreOptionsDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(autoStartGroup);
    layout->addWidget(compareGroup);
    layout->addWidget(logGroup);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The controls show the model as it was opened.
    autoStartBox_->setChecked(model_.autoStart());
    oneToTwoRadio_->setChecked(model_.direction == Direction::OneToTwo);
    twoToOneRadio_->setChecked(model_.direction == Direction::TwoToOne);
    hideOtherButtonBox_->setChecked(model_.hideOtherButton);
    compareTimeRadio_->setChecked(model_.compareOn == MoreOptionsModel::CompareOn::Time);
    compareSizeRadio_->setChecked(model_.compareOn == MoreOptionsModel::CompareOn::FileSize);
    copyAttributesBox_->setChecked(model_.copyAttributes);
    logFileBox_->setChecked(model_.logOn);
    overwriteLogRadio_->setChecked(model_.logMode == MoreOptionsModel::LogMode::Overwrite);
    appendLogRadio_->setChecked(model_.logMode == MoreOptionsModel::LogMode::Append);

    connect(autoStartBox_, &QCheckBox::clicked, this, [this](bool ticked) {
        model_.setAutoStart(ticked);
        if (ticked)
            oneToTwoRadio_->setChecked(true);
        refreshEnabling();
    });
    connect(logFileBox_, &QCheckBox::clicked, this, [this](bool ticked) {
        model_.logOn = ticked;
        refreshEnabling();
    });
    connect(logBrowseButton_, &QPushButton::clicked, this, [this] {
        QFileDialog dialog(this, QStringLiteral("Log File"), logPathBox_->text());
        dialog.setObjectName(QStringLiteral("logFileDialog"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilter(QStringLiteral("Velmora log file (text) (*.txt)"));
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            logPathBox_->setText(dialog.selectedFiles().front());
    });

    widgets::applyTooltips(this, kTooltips);
    refreshEnabling();
}

void MoreOptionsDlg::refreshEnabling() {
    oneToTwoRadio_->setEnabled(model_.directionEnabled());
    twoToOneRadio_->setEnabled(model_.directionEnabled());
    hideOtherButtonBox_->setEnabled(model_.hideOtherButtonEnabled());
    for (QWidget* control :
         {static_cast<QWidget*>(logPathBox_), static_cast<QWidget*>(logBrowseButton_),
          static_cast<QWidget*>(overwriteLogRadio_), static_cast<QWidget*>(appendLogRadio_)})
        control->setEnabled(model_.logControlsEnabled());
}

void MoreOptionsDlg::readControls() {
    if (model_.autoStart())
        model_.direction = twoToOneRadio_->isChecked() ? Direction::TwoToOne : Direction::OneToTwo;
    model_.hideOtherButton = hideOtherButtonBox_->isChecked();
    model_.copyAttributes = copyAttributesBox_->isChecked();
    model_.compareOn = compareSizeRadio_->isChecked() ? MoreOptionsModel::CompareOn::FileSize
                                                      : MoreOptionsModel::CompareOn::Time;
    model_.hoursText = widgets::toPath(hoursBox_->text());
    model_.minutesText = widgets::toPath(minutesBox_->text());
    model_.logOn = logFileBox_->isChecked();
    model_.logMode = appendLogRadio_->isChecked() ? MoreOptionsModel::LogMode::Append
                                                  : MoreOptionsModel::LogMode::Overwrite;
    model_.logPath = widgets::toPath(logPathBox_->text());
}

void MoreOptionsDlg::accept() {
    readControls();
    using Field = MoreOptionsModel::Field;
    if (refuse<Field>(
            this, &reporter_, model_.check(),
            {{Field::Hours, hoursBox_}, {Field::Minutes, minutesBox_}, {Field::LogPath, logPathBox_}}))
        return;
    QDialog::accept();
}

} // namespace velmora::desktop
