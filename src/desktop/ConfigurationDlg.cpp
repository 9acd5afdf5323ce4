#include "desktop/ConfigurationDlg.h"

#include "desktop/AboutDlg.h"
#include "desktop/DialogFieldsView.h"
#include "widgets/Tooltips.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
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
    {"aboutButton", "Information about Velmora including the current version being run"},
    {"timeDifferenceBox", "Required time difference to consider a file modified."},
    {"ddmmyyRadio", "Format for displaying dates in detailed file listings"},
    {"mmddyyRadio", "Format for displaying dates in detailed file listings"},
    {"dateFormatLabel", "Format for displaying dates in detailed file listings"},
    {"showTooltipsBox", "If unselected these tooltip boxes will no longer displayed"},
    {"textButtonsRadio", "Synchronise buttons will have text and small arrows."},
    {"noTextButtonsRadio", "Synchronise buttons will have no text, just large arrows."},
    {"commandTimeoutBox", "Time allowed for a command to complete."},
    {"parallelCommandsBox",
     "How many files are copied or deleted at the same time. More helps on network shares."},
};

template <typename Control>
Control* named(Control* control, const char* name) {
    control->setObjectName(QLatin1String(name));
    return control;
}

} // namespace

ConfigurationDlg::ConfigurationDlg(ConfigurationModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName(QStringLiteral("configurationDialog"));
    setWindowTitle(QStringLiteral("Configuration"));

    auto* dateLabel = named(new QLabel(QStringLiteral("Date Format:"), this), "dateFormatLabel");
    ddmmyyRadio_ = named(new QRadioButton(QStringLiteral("&dd/mm/yy"), this), "ddmmyyRadio");
    auto* mmddyy = named(new QRadioButton(QStringLiteral("&mm/dd/yy"), this), "mmddyyRadio");
    auto* dateFormats = new QButtonGroup(this);
    dateFormats->addButton(ddmmyyRadio_);
    dateFormats->addButton(mmddyy);
    ddmmyyRadio_->setChecked(model_.dateFormat == ConfigurationModel::DateFormat::DdMmYy);
    mmddyy->setChecked(model_.dateFormat == ConfigurationModel::DateFormat::MmDdYy);

    showTooltipsBox_ = named(new QCheckBox(QStringLiteral("Show &tooltips"), this), "showTooltipsBox");
    showTooltipsBox_->setChecked(model_.showTooltips);

    const int numberWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000000"));
    auto* timeoutLabel = new QLabel(QStringLiteral("Command t&imeout "), this);
    commandTimeoutBox_ =
        named(new QLineEdit(widgets::fromText(model_.commandTimeoutText), this), "commandTimeoutBox");
    commandTimeoutBox_->setMaximumWidth(numberWidth);
    timeoutLabel->setBuddy(commandTimeoutBox_);
    auto* differenceLabel = new QLabel(QStringLiteral("&Required time difference"), this);
    timeDifferenceBox_ =
        named(new QLineEdit(widgets::fromText(model_.timeDifferenceText), this), "timeDifferenceBox");
    timeDifferenceBox_->setMaximumWidth(numberWidth);
    differenceLabel->setBuddy(timeDifferenceBox_);
    auto* parallelLabel = new QLabel(QStringLiteral("&Parallel file commands"), this);
    parallelCommandsBox_ =
        named(new QLineEdit(widgets::fromText(model_.parallelCommandsText), this), "parallelCommandsBox");
    parallelCommandsBox_->setMaximumWidth(numberWidth);
    parallelLabel->setBuddy(parallelCommandsBox_);

    auto* buttonsGroup = new QGroupBox(QStringLiteral("Synchronise buttons"), this);
    auto* textButtons =
        named(new QRadioButton(QStringLiteral("Te&xt, small arrows"), this), "textButtonsRadio");
    noTextButtonsRadio_ =
        named(new QRadioButton(QStringLiteral("&No text, large arrows"), this), "noTextButtonsRadio");
    textButtons->setChecked(model_.buttonStyle == ConfigurationModel::ButtonStyle::Text);
    noTextButtonsRadio_->setChecked(model_.buttonStyle == ConfigurationModel::ButtonStyle::NoText);
    auto* buttonsLayout = new QVBoxLayout(buttonsGroup);
    buttonsLayout->addWidget(textButtons);
    buttonsLayout->addWidget(noTextButtonsRadio_);

    // Each row keeps its value and unit together, whatever the width of the other rows.
    auto row = [this](std::initializer_list<QWidget*> parts) {
        auto* line = new QHBoxLayout;
        for (QWidget* part : parts)
            line->addWidget(part);
        line->addStretch();
        return line;
    };
    auto* grid = new QGridLayout;
    // The date formats follow their label; the columns below are as wide as the longest label.
    grid->addLayout(row({dateLabel, ddmmyyRadio_, mmddyy}), 0, 0, 1, 2);
    grid->addWidget(showTooltipsBox_, 1, 0, 1, 2);
    grid->addWidget(timeoutLabel, 2, 0);
    grid->addLayout(row({commandTimeoutBox_, new QLabel(QStringLiteral("Secs"), this)}), 2, 1);
    grid->addWidget(differenceLabel, 3, 0);
    grid->addLayout(row({timeDifferenceBox_, new QLabel(QStringLiteral("Secs"), this)}), 3, 1);
    grid->addWidget(parallelLabel, 4, 0);
    grid->addLayout(row({parallelCommandsBox_}), 4, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    auto* about = buttons->addButton(QStringLiteral("&About"), QDialogButtonBox::HelpRole);
    about->setObjectName(QStringLiteral("aboutButton"));
    connect(about, &QPushButton::clicked, this, [this] {
        AboutDlg box(this);
        box.exec();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &ConfigurationDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ConfigurationDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttonsGroup);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    widgets::applyTooltips(this, kTooltips);
}

void ConfigurationDlg::accept() {
    model_.dateFormat = ddmmyyRadio_->isChecked() ? ConfigurationModel::DateFormat::DdMmYy
                                                  : ConfigurationModel::DateFormat::MmDdYy;
    model_.showTooltips = showTooltipsBox_->isChecked();
    model_.commandTimeoutText = widgets::toPath(commandTimeoutBox_->text());
    model_.buttonStyle = noTextButtonsRadio_->isChecked() ? ConfigurationModel::ButtonStyle::NoText
                                                          : ConfigurationModel::ButtonStyle::Text;
    model_.timeDifferenceText = widgets::toPath(timeDifferenceBox_->text());
    model_.parallelCommandsText = widgets::toPath(parallelCommandsBox_->text());
    using Field = ConfigurationModel::Field;
    if (refuse<Field>(this, nullptr, model_.check(),
                      {{Field::CommandTimeout, commandTimeoutBox_},
                       {Field::TimeDifference, timeDifferenceBox_},
                       {Field::ParallelCommands, parallelCommandsBox_}}))
        return;
    QDialog::accept();
}

} // namespace velmora::desktop
