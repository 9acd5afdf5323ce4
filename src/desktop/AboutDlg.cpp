#include "desktop/AboutDlg.h"

#include "profiles/Profile.h"
#include "widgets/ActionIcons.h"
#include "widgets/MessageBoxes.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace velmora::desktop {

QUrl AboutDlg::downloadPage() {
    return QUrl(QStringLiteral("https://velmora.org/download/"));
}

AboutDlg::AboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("About Velmora"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("programIcon"));
    icon->setPixmap(widgets::programIcon().pixmap(QSize(64, 64), devicePixelRatioF()));
    auto* version =
        new QLabel(QStringLiteral("Velmora  Version %1").arg(QStringLiteral(VELMORA_VERSION)), this);
    version->setObjectName(QStringLiteral("versionLabel"));
    QFont bold = version->font();
    bold.setBold(true);
    version->setFont(bold);
    // The program's version and the file format's are two numbers: say which is which.
    auto* fileVersion = new QLabel(QStringLiteral("Profile and batch files: version %1")
                                       .arg(QString::fromStdString(versionText(Profile::kFileVersion))),
                                   this);
    fileVersion->setObjectName(QStringLiteral("fileVersionLabel"));
    auto* invitation = new QLabel(
        QStringLiteral("A newer version may be waiting for you: check the Velmora web site, where\n"
                       "every version can be downloaded free of charge."),
        this);
    invitation->setObjectName(QStringLiteral("invitationLabel"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    auto* checkNow = buttons->addButton(QStringLiteral("&Check Now!"), QDialogButtonBox::ActionRole);
    checkNow->setObjectName(QStringLiteral("checkNowButton"));
    // The dialog stays open: the page opens beside it in the desktop's browser.
    connect(checkNow, &QPushButton::clicked, this, [this] {
        if (!QDesktopServices::openUrl(downloadPage()))
            widgets::showMessage(this, QStringLiteral("Could not open ") + downloadPage().toString());
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(fileVersion, 1, 1);
    layout->addWidget(invitation, 2, 1);
    layout->addWidget(buttons, 3, 0, 1, 2);
    layout->setHorizontalSpacing(fontMetrics().averageCharWidth() * 3);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    buttons->button(QDialogButtonBox::Ok)->setFocus();
}

} // namespace velmora::desktop
