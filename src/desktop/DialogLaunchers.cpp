#include "desktop/DialogLaunchers.h"

#include "app/AppController.h"
#include "app/ConfigurationModel.h"
#include "app/ExclusionFilesModel.h"
#include "app/MoreOptionsModel.h"
#include "browse/BrowseEnvironment.h"
#include "browse/FolderDlg.h"
#include "desktop/AboutDlg.h"
#include "desktop/BatchDlg.h"
#include "desktop/ConfigurationDlg.h"
#include "desktop/MoreOptionsDlg.h"
#include "views/ExclusionFilesDlg.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Text.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace velmora::desktop {

namespace {

// The guide installed beside the program (share/velmora/help), or the one of the source tree
// when the program runs from its build folder.
QString helpIndex() {
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QStringList candidates{
        programFolder.filePath(QStringLiteral("../share/velmora/help/index.html")),
        QStringLiteral(VELMORA_SOURCE_DIR "/docs/help/index.html"),
    };
    for (const QString& candidate : candidates)
        if (QFileInfo::exists(candidate))
            return QFileInfo(candidate).canonicalFilePath();
    return candidates.front();
}

} // namespace

std::optional<QString> chooseFolder(QWidget* parent, browse::BrowseEnvironment& environment,
                                    const QString& title, const QString& start) {
    browse::FolderDlg dialog(environment, title, widgets::toPath(start), parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return widgets::fromPath(dialog.path());
}

bool editMoreOptions(QWidget* parent, AppController& controller) {
    auto session = controller.moreOptions();
    MoreOptionsDlg dialog(session.model, controller.reporter(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return !controller.acceptMoreOptions(session.model);
}

bool editExclusions(QWidget* parent, AppController& controller, browse::BrowseEnvironment& environment) {
    environment.dayMonthYear = controller.general().ddmmyy;
    environment.setCommandTimeout(controller.general().commandTimeout);
    auto session = controller.exclusions();
    views::ExclusionFilesDlg dialog(session.model, environment, controller.general().showTooltips, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    controller.acceptExclusions(session.model);
    return true;
}

bool editConfiguration(QWidget* parent, AppController& controller) {
    auto session = controller.configuration();
    ConfigurationDlg dialog(session.model, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return !controller.acceptConfiguration(session.model);
}

bool editBatchList(QWidget* parent, AppController& controller) {
    auto session = controller.batchList();
    BatchDlg dialog(session.model, controller, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    controller.acceptBatchList(session.model);
    return true;
}

void showAbout(QWidget* parent) {
    AboutDlg dialog(parent);
    dialog.exec();
}

void showHelp(QWidget* parent) {
    const QString index = helpIndex();
    if (!QFileInfo::exists(index) || !QDesktopServices::openUrl(QUrl::fromLocalFile(index)))
        widgets::showMessage(parent, QStringLiteral("Could not open the help: ") + index);
}

} // namespace velmora::desktop
