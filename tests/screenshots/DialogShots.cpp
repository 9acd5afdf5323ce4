// The dialogs of the desktop program, each filled with an example the way a user meets it.
#include "Shots.h"
#include "app/ActionListsModel.h"
#include "app/ConfigurationModel.h"
#include "app/MoreOptionsModel.h"
#include "app/ReportModel.h"
#include "desktop/AboutDlg.h"
#include "desktop/BatchDlg.h"
#include "desktop/ConfigurationDlg.h"
#include "desktop/MainWindow.h"
#include "desktop/MoreOptionsDlg.h"
#include "desktop/PasswordDlg.h"
#include "engine/DeleteConfirmation.h"
#include "engine/SyncResults.h"
#include "platform/PosixFileSystem.h"
#include "profiles/Profile.h"
#include "profiles/SettingsStore.h"
#include "views/ActionCheckListDlg.h"
#include "views/ProblemLogDlg.h"
#include "views/SyncReportDlg.h"
#include "widgets/ConfirmationDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {

using namespace velmora;

void show(Shots& shots, QWidget& dialog, const QString& name) {
    dialog.show();
    QApplication::processEvents();
    shots.save(dialog, name);
    dialog.close();
}

FileItemPtr item(const std::string& path, ItemState state, bool failed = false) {
    FileItemPtr made = makeItem(path);
    made->state = state;
    made->failed = failed;
    return made;
}

SyncResults exampleResults() {
    SyncResults results;
    results.lastSource = "/home/anna/Documents/";
    results.lastTarget = "/media/anna/STICK/Documents/";
    results.lastHeadline = "Synchronisation done:\n";
    results.counts = {2, 14, 1, 1, 0};
    results.overwritten.insert(item("/media/anna/STICK/Documents/budget 2026.ods", kOverwrite));
    results.overwritten.insert(item("/media/anna/STICK/Documents/letters/bank.odt", kOverwrite));
    for (int i = 1; i <= 14; ++i)
        results.added.insert(
            item("/media/anna/STICK/Documents/photos/holiday-" + std::to_string(i) + ".jpg", kAdd));
    results.addedFolders.insert(item("/media/anna/STICK/Documents/photos/", kAdd));
    results.deleted.insert(item("/media/anna/STICK/Documents/old notes.txt", kDelete));
    results.failedAdded.insert(item("/media/anna/STICK/Documents/video/long film.mkv", kAdd, true));
    results.addProblem("CSynchroniserDlg::processFiles (add): Could not copy file: "
                       "/home/anna/Documents/video/long film.mkv",
                       "No space left on device");
    return results;
}

} // namespace

void dialogWindows(Shots& shots) {
    {
        const std::string text =
            "Delete file: /media/anna/STICK/Documents/projects/2026/customers/Larsen and "
            "Sons/correspondence/quotations/second quotation for the new warehouse "
            "roof, revised after the site visit.odt";
        widgets::ConfirmationDlg dialog(QStringLiteral("Delete File"), DeleteConfirmation::splitLines(text));
        show(shots, dialog, QStringLiteral("confirmation"));
    }
    {
        const SyncResults results = exampleResults();
        CheckListSets sets;
        sets.filesToOverwrite.assign(results.overwritten.begin(), results.overwritten.end());
        sets.filesToAdd.assign(results.added.begin(), results.added.end());
        sets.filesToDelete.assign(results.deleted.begin(), results.deleted.end());
        sets.foldersToAdd.assign(results.addedFolders.begin(), results.addedFolders.end());
        ActionListsModel checkList(sets);
        views::ActionCheckListDlg dialog(checkList, nullptr);
        show(shots, dialog, QStringLiteral("check-list"));

        ActionListsModel details(results);
        details.selectCategory(ActionCategory::AddFiles);
        views::ActionCheckListDlg resultsDialog(details, nullptr);
        resultsDialog.refresh();
        show(shots, resultsDialog, QStringLiteral("results-lists"));

        const ReportModel report(results);
        views::SyncReportDlg reportDialog(report);
        show(shots, reportDialog, QStringLiteral("report"));

        views::ProblemLogDlg log(results.problems);
        show(shots, log, QStringLiteral("problem-log"));
    }
    {
        Profile profile;
        profile.autoStart = AutoStartDirection::TwoToOne;
        profile.logOn = true;
        profile.logPath = "/home/anna/sync-log.txt";
        MoreOptionsModel model(profile);
        QTemporaryDir settingsFolder;
        SettingsStore settings(
            QDir(settingsFolder.path()).filePath(QStringLiteral("Velmora.conf")).toStdString());
        platform::PosixFileSystem fileSystem;
        desktop::MainWindow window(fileSystem, settings);
        desktop::MoreOptionsDlg moreOptions(model, window.controller().reporter());
        show(shots, moreOptions, QStringLiteral("more-options"));

        ConfigurationModel configuration(window.controller().general());
        desktop::ConfigurationDlg configurationDialog(configuration);
        show(shots, configurationDialog, QStringLiteral("configuration"));

        desktop::AboutDlg about;
        show(shots, about, QStringLiteral("about"));

        BatchList batch({"/home/anna/profiles/documents.vmp", "/home/anna/profiles/photos.vmp",
                         "/home/anna/profiles/music to the car stick.vmp"});
        batch.select({1});
        desktop::BatchDlg batchDialog(batch, window.controller());
        show(shots, batchDialog, QStringLiteral("batch-list"));
    }
    {
        // A share's login half typed, Remember ticked; and an SFTP login on a desktop without a keyring.
        desktop::PasswordDlg share(desktop::PasswordDlg::Kind::UserAndPassword, QStringLiteral("nas/photos"),
                                   QStringLiteral("WORK\\anna"), true);
        share.findChild<QLineEdit*>(QStringLiteral("passwordBox"))->setText(QStringLiteral("not shown"));
        share.findChild<QCheckBox*>(QStringLiteral("rememberBox"))->setChecked(true);
        show(shots, share, QStringLiteral("password"));

        desktop::PasswordDlg sftp(desktop::PasswordDlg::Kind::Password, QStringLiteral("anna@backup"), {},
                                  false);
        show(shots, sftp, QStringLiteral("password-no-keyring"));
    }
}
