#include "views/SyncReportDlg.h"

#include "views/ActionCheckListDlg.h"
#include "views/ProblemLogDlg.h"
#include "widgets/Text.h"
#include "widgets/Tooltips.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace velmora::views {

namespace {

constexpr const char* kCountNames[] = {"overwrittenFilesBox", "addedFilesBox", "deletedFilesBox",
                                       "addedFoldersBox", "deletedFoldersBox"};

QLineEdit* readOnlyBox(const QString& text, const char* name, QWidget* parent) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(QLatin1String(name));
    box->setReadOnly(true);
    return box;
}

} // namespace

SyncReportDlg::SyncReportDlg(const ReportModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName(QStringLiteral("syncReportDialog"));
    setWindowTitle(QStringLiteral("Synchronisation Report"));
    widgets::TooltipTable tooltips{
        {"targetBox", "The target location"},
        {"sourceBox", "The source location"},
        {"viewProblemLogButton", "Some problems were encountered - click to view"},
        {"viewDetailsButton", "Display detailed report"},
    };

    auto* headline = new QLabel(widgets::fromText(model_.headline()).trimmed(), this);
    headline->setObjectName(QStringLiteral("headlineLabel"));
    QFont large = headline->font();
    large.setBold(true);
    large.setPointSizeF(large.pointSizeF() * 1.2);
    headline->setFont(large);

    auto* locations = new QFormLayout;
    auto* source = readOnlyBox(widgets::fromPath(model_.source()), "sourceBox", this);
    auto* target = readOnlyBox(widgets::fromPath(model_.target()), "targetBox", this);
    source->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    locations->addRow(QStringLiteral("Synchronisation source"), source);
    locations->addRow(QStringLiteral("Synchronisation target"), target);

    auto* countsFrame = new QGroupBox(this);
    auto* counts = new QGridLayout(countsFrame);
    for (std::size_t i = 0; i < model_.counts().size(); ++i) {
        const ReportCount& count = model_.counts()[i];
        auto* box = readOnlyBox(QString::number(count.value), kCountNames[i], this);
        box->setAlignment(Qt::AlignRight);
        // A count cannot be edited and should not look as if it could: no frame, the window's own
        // background. It stays a field, so the keyboard and a screen reader reach it with its name.
        box->setFrame(false);
        QPalette plain = box->palette();
        plain.setColor(QPalette::Base, Qt::transparent);
        box->setPalette(plain);
        box->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
        auto* label = new QLabel(QString::fromUtf8(count.label), this);
        label->setBuddy(box);
        box->setAccessibleName(label->text());
        const int row = static_cast<int>(i);
        counts->addWidget(box, row, 0);
        counts->addWidget(label, row, 1);
        tooltips.emplace_back(kCountNames[i], count.tooltip);
    }
    counts->setColumnStretch(2, 1);
    source->setAccessibleName(QStringLiteral("Synchronisation source"));
    target->setAccessibleName(QStringLiteral("Synchronisation target"));

    auto* problems = new QHBoxLayout;
    auto* problemIcon = new QLabel(this);
    const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize);
    problemIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(iconSize, iconSize));
    auto* problemLine = new QLabel(QStringLiteral("Some problems were encountered"), this);
    problemLine->setObjectName(QStringLiteral("problemsLabel"));
    auto* problemButton = new QPushButton(QStringLiteral("!!!!! View &Problem Log !!!!!"), this);
    problemButton->setObjectName(QStringLiteral("viewProblemLogButton"));
    connect(problemButton, &QPushButton::clicked, this, [this] {
        ProblemLogDlg log(model_.problemLines(), this);
        log.exec();
    });
    problems->addWidget(problemIcon);
    problems->addWidget(problemLine);
    problems->addStretch();
    problems->addWidget(problemButton);
    for (QWidget* part : {static_cast<QWidget*>(problemIcon), static_cast<QWidget*>(problemLine),
                          static_cast<QWidget*>(problemButton)})
        part->setVisible(model_.showsProblems());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    auto* details = buttons->addButton(QStringLiteral("View &Details"), QDialogButtonBox::ActionRole);
    details->setObjectName(QStringLiteral("viewDetailsButton"));
    connect(details, &QPushButton::clicked, this, [this] {
        ActionListsModel lists = model_.details();
        ActionCheckListDlg dialog(lists, this);
        dialog.exec();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(headline);
    layout->addLayout(locations);
    layout->addWidget(countsFrame);
    layout->addLayout(problems);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    widgets::applyTooltips(this, tooltips);
    buttons->button(QDialogButtonBox::Ok)->setFocus();
}

int SyncReportDlg::exec() {
    if (model_.closesAtOnce()) {
        setResult(Accepted);
        return Accepted;
    }
    return QDialog::exec();
}

} // namespace velmora::views
