#include "views/RunViews.h"

#include "QtTestRegistry.h"
#include "app/ReportModel.h"
#include "engine/SyncResults.h"
#include "views/ActionCheckListDlg.h"
#include "views/SyncReportDlg.h"

#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace velmora::views {

namespace {

// Runs `act` on the modal window that is open when the event loop next turns.
void onNextModal(const std::function<void(QWidget&)>& act) {
    QTimer::singleShot(0, QApplication::instance(), [act] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal != nullptr);
        act(*modal);
    });
}

void click(QWidget& window, const char* name) {
    auto* button = window.findChild<QPushButton*>(QLatin1String(name));
    QVERIFY(button != nullptr);
    button->click();
}

CheckListSets plan() {
    CheckListSets sets;
    sets.filesToAdd = {makeItem("/t/a.txt"), makeItem("/t/b.txt")};
    return sets;
}

} // namespace

class RunViewsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void checkListCancelKeepsThePlanAndOkTakesTheRemovals() {
        CheckListSets sets = plan();
        onNextModal([](QWidget& dialog) {
            click(dialog, "addFilesButton");
            dialog.findChild<QListWidget*>(QStringLiteral("actionList"))->item(0)->setSelected(true);
            click(dialog, "removeItemButton");
            click(dialog, "cancelButton");
        });
        QVERIFY(!showCheckList(nullptr, sets));
        QCOMPARE(sets.filesToAdd.size(), std::size_t(2));

        onNextModal([](QWidget& dialog) {
            click(dialog, "addFilesButton");
            dialog.findChild<QListWidget*>(QStringLiteral("actionList"))->item(0)->setSelected(true);
            click(dialog, "removeItemButton");
            QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("addFilesButton"))->text(),
                     QStringLiteral("1 Add Files"));
            click(dialog, "okButton");
        });
        QVERIFY(showCheckList(nullptr, sets));
        QCOMPARE(sets.filesToAdd.size(), std::size_t(1));
        QCOMPARE(sets.filesToAdd.front()->fullPath(), std::string("/t/b.txt"));
    }

    // OK with deletes planned asks first; No stays in the list, Yes goes on.
    void deleteQuestionGuardsOk() {
        CheckListSets sets;
        sets.filesToDelete = {makeItem("/t/old.txt")};
        int asked = 0;
        onNextModal([&asked](QWidget& dialog) {
            for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
                onNextModal([&asked, answer](QWidget& box) {
                    ++asked;
                    QVERIFY(qobject_cast<QMessageBox*>(&box)->text().startsWith(
                        QStringLiteral("You are about to delete 1 files.")));
                    qobject_cast<QMessageBox*>(&box)->button(answer)->click();
                });
                click(dialog, "okButton");
                QCOMPARE(dialog.isVisible(), answer == QMessageBox::No);
            }
        });
        QVERIFY(showCheckList(nullptr, sets));
        QCOMPARE(asked, 2);
    }

    // Silent mode: the report is done without waiting; the problem line shows only with problems.
    void reportClosesAtOnceWhenSilentAndShowsProblemsOnlyWhenThereAreAny() {
        SyncResults results;
        showReport(nullptr, results, true);

        const ReportModel clean(results);
        SyncReportDlg cleanDialog(clean);
        QVERIFY(cleanDialog.findChild<QPushButton*>(QStringLiteral("viewProblemLogButton"))->isHidden());
        results.addProblem("CSynchroniserDlg::processFiles (add): Could not copy file: /s/a", "Timed out");
        const ReportModel troubled(results);
        SyncReportDlg troubledDialog(troubled);
        QVERIFY(!troubledDialog.findChild<QPushButton*>(QStringLiteral("viewProblemLogButton"))->isHidden());
    }
};

VELMORA_QT_TEST(RunViewsTest)

} // namespace velmora::views

#include "RunViewsTest.moc"
