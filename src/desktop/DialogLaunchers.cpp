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
    MoreOptionsModel model(controller.profile());
    MoreOptionsDlg dialog(model, controller.reporter(), parent);
    if (dialog.exec() != QDialog::Accepted || model.store(controller.profile()))
        return false;
    controller.moreOptionsAccepted();
    return true;
}

bool editExclusions(QWidget* parent, AppController& controller, browse::BrowseEnvironment& environment) {
    // Where the next Browse or Wildcard starts: kept for the whole process, never saved.
    static std::string browseFolder;
    environment.dayMonthYear = controller.general().ddmmyy;
    environment.setCommandTimeout(controller.general().commandTimeout);
    ExclusionFilesModel model(controller.profile().exclusions, environment.fileSystem(), browseFolder);
    views::ExclusionFilesDlg dialog(model, environment, controller.general().showTooltips, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    controller.exclusionsAccepted(model.working());
    return true;
}

bool editConfiguration(QWidget* parent, AppController& controller) {
    ConfigurationModel model(controller.general());
    ConfigurationDlg dialog(model, parent);
    GeneralSettings settings = controller.general();
    if (dialog.exec() != QDialog::Accepted || model.apply(settings))
        return false;
    controller.configurationAccepted(settings);
    return true;
}

bool editBatchList(QWidget* parent, AppController& controller) {
    BatchList list = controller.editBatchList();
    BatchDlg dialog(list, controller, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return controller.acceptBatchList(list);
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
