// What a Linux user expects of the window beyond its own rules: the common keys, one mnemonic per
// control, a size that stays put.
#include "QtTestRegistry.h"
#include "WindowRig.h"
#include "app/ReportModel.h"
#include "engine/SyncResults.h"
#include "views/SyncReportDlg.h"
#include "widgets/ConfirmationDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMap>
#include <QScreen>
#include <QSet>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

namespace velmora::desktop {

namespace {

// Closes the next file dialog as cancelled and tells whether it was one to save with. The watch
// ends with the returned object: one left running would write into a later test's dialog.
std::unique_ptr<QTimer> cancelNextFileDialog(std::optional<QFileDialog::AcceptMode>* mode) {
    auto poll = std::make_unique<QTimer>();
    QTimer* timer = poll.get();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, mode] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        *mode = dialog->acceptMode();
        dialog->reject();
        timer->stop();
    });
    poll->start(20);
    return poll;
}

// The character after a single '&' of a caption, lower case; none when the caption has none.
std::optional<QChar> mnemonicOf(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (caption[i + 1] != QLatin1Char('&'))
            return caption[i + 1].toLower();
        ++i;
    }
    return std::nullopt;
}

} // namespace

class LookAndFeelTest : public QObject {
    Q_OBJECT

public Q_SLOTS:
    // Stands in for the desktop's browser.
    void openHelp(const QUrl& url) { helpOpened_ = url; }

private Q_SLOTS:
    // Ctrl+O, Ctrl+S, Ctrl+Shift+S, F1 and Ctrl+Q, pressed on the window, do what the buttons do.
    void theCommonKeysPressTheirButtons() {
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openHelp");
        struct Case {
            const char* what;
            QKeyCombination keys;
            std::function<void(WindowRig&)> check;
        };
        std::optional<QFileDialog::AcceptMode> dialogMode;
        const Case cases[] = {
            {"open", Qt::CTRL | Qt::Key_O,
             [&](WindowRig&) { QCOMPARE(dialogMode, std::optional(QFileDialog::AcceptOpen)); }},
            {"save as", Qt::CTRL | Qt::SHIFT | Qt::Key_S,
             [&](WindowRig&) { QCOMPARE(dialogMode, std::optional(QFileDialog::AcceptSave)); }},
            {"save", Qt::CTRL | Qt::Key_S,
             [&](WindowRig& rig) {
                 QVERIFY(!rig.control("saveButton")->isEnabled());
                 QFile saved(rig.path("p.vmp"));
                 QVERIFY(saved.open(QIODevice::ReadOnly));
                 QVERIFY(saved.readAll().contains("silent_mode=1"));
             }},
            {"help", QKeyCombination(Qt::Key_F1),
             [&](WindowRig&) { QVERIFY(helpOpened_.toLocalFile().endsWith(QStringLiteral("index.html"))); }},
            {"exit", Qt::CTRL | Qt::Key_Q,
             [&](WindowRig& rig) { QVERIFY(rig.window->controller().finished()); }},
        };
        for (const Case& test : cases) {
            WindowRig rig;
            rig.show(rig.profile(QStringLiteral("p")));
            // A change for Save to write; the others find nothing to offer to save first.
            if (QByteArray(test.what) == "save")
                rig.control<QCheckBox>("silentModeBox")->click();
            dialogMode.reset();
            helpOpened_.clear();
            const std::unique_ptr<QTimer> watch = cancelNextFileDialog(&dialogMode);
            QTest::keyClick(rig.window.get(), test.keys.key(), test.keys.keyboardModifiers());
            QTest::qWait(50);
            test.check(rig);
            if (QTest::currentTestFailed())
                qWarning("failed: %s", test.what);
        }
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    }

    // No two controls of the window share a mnemonic, and Help has one: Alt and a letter reaches
    // one control, never the first of several.
    void everyControlHasItsOwnMnemonic() {
        WindowRig rig;
        rig.show();
        QMap<QChar, QString> taken;
        QStringList captions;
        for (auto* button : rig.window->findChildren<QAbstractButton*>())
            if (!button->text().isEmpty())
                captions << button->text();
        for (auto* label : rig.window->findChildren<QLabel*>())
            if (label->buddy() != nullptr)
                captions << label->text();
        QVERIFY(captions.contains(QStringLiteral("&Help")));
        for (const QString& caption : captions) {
            const std::optional<QChar> key = mnemonicOf(caption);
            if (!key)
                continue;
            QVERIFY2(!taken.contains(*key),
                     qPrintable(caption + QStringLiteral(" and ") + taken.value(*key)));
            taken.insert(*key, caption);
        }
    }

    // Each step of a batch shows and hides the running state: the window keeps one size through
    // the steps, and after the batch it is the size it was before.
    void theWindowKeepsItsSizeThroughABatch() {
        WindowRig rig;
        QByteArray batch = "file_type=Velmora_batch\r\nvelmora_version=1.09\r\nprofiles=\r\n";
        for (const char* name : {"a", "b", "c"})
            batch += QByteArray::fromStdString(
                         rig.profile(QString::fromLatin1(name), "auto_start=1\r\nsilent_mode=1\r\n")) +
                     "\r\n";
        rig.write(QStringLiteral("three.vmb"), batch + "end_profiles\r\n");
        rig.show();
        QVERIFY(rig.window->controller().openFile(rig.path("three.vmb").toStdString()));
        rig.window->refresh();
        QTest::qWait(50);
        const QSize before = rig.window->size();

        QSet<QString> seen;
        QTimer sample;
        QObject::connect(&sample, &QTimer::timeout, &sample, [&] {
            if (!rig.window->controller().batchRunning())
                return;
            const QSize now = rig.window->size();
            seen.insert(QStringLiteral("%1x%2").arg(now.width()).arg(now.height()));
        });
        sample.start(1);
        rig.control<QPushButton>("runBatchButton")->click();
        QTest::qWait(50);
        sample.stop();

        QVERIFY(QFileInfo::exists(rig.path("c/two/f.txt")));
        QCOMPARE(rig.window->size(), before);
        QCOMPARE(seen.size(), 1);
    }

    // While idle the activity line is the last row of its frame, before any run and after one: no
    // empty band is kept for the progress row, and the window is back to its height after a run.
    void noEmptyBandUnderTheActivityWhileIdle() {
        WindowRig rig;
        rig.show(rig.profile(QStringLiteral("p"), "silent_mode=1\r\n"));
        QTest::qWait(50);
        const int before = rig.window->height();
        const std::pair<const char*, std::function<void()>> moments[] = {
            {"after start-up", [] {}},
            {"after a run",
             [&] {
                 rig.control<QPushButton>("synchroniseOneToTwoButton")->click();
                 QTest::qWait(50);
                 QVERIFY(QFileInfo::exists(rig.path("p/two/f.txt")));
             }},
        };
        for (const auto& [moment, act] : moments) {
            act();
            QWidget* activity = rig.control("activityBox");
            QWidget* frame = activity->parentWidget();
            const int above = activity->y();
            const int below = frame->height() - activity->geometry().bottom() - 1;
            QVERIFY2(below <= above + 2,
                     qPrintable(QStringLiteral("%1: %2 px under the activity line, %3 above")
                                    .arg(QLatin1String(moment))
                                    .arg(below)
                                    .arg(above)));
            QCOMPARE(rig.window->height(), before);
        }
    }

    // The report's counts cannot be edited and do not look as if they could (no frame, no field
    // background), yet each is still reached with the name of what it counts.
    void theReportCountsLookReadOnly() {
        SyncResults results;
        results.counts = {2, 14, 1, 1, 0};
        const ReportModel model(results);
        views::SyncReportDlg dialog(model);
        dialog.show();
        const std::pair<const char*, const char*> counts[] = {{"overwrittenFilesBox", "Overwritten files"},
                                                              {"addedFilesBox", "Added files"},
                                                              {"deletedFilesBox", "Deleted files"},
                                                              {"addedFoldersBox", "Added Folders"},
                                                              {"deletedFoldersBox", "Deleted Folders"}};
        for (const auto& [name, caption] : counts) {
            auto* box = find<QLineEdit>(dialog, name);
            QVERIFY2(box->isReadOnly() && !box->hasFrame(), name);
            QCOMPARE(box->palette().color(QPalette::Base).alpha(), 0);
            QCOMPARE(box->accessibleName(), QString::fromLatin1(caption));
        }
    }

    // The delete question is as wide as what it says, never wider than the screen, shows all of
    // the text and no empty lines.
    void theDeleteQuestionFitsItsText() {
        const struct {
            const char* what;
            std::array<std::string, 4> lines;
        } cases[] = {
            {"short path", {"Delete file: /a", "", "", ""}},
            {"three full lines",
             {"Delete file: /" + std::string(106, 'x'), std::string(120, 'y'), std::string(60, 'z'), ""}},
        };
        for (const auto& test : cases) {
            widgets::ConfirmationDlg dialog(QStringLiteral("Delete File"), test.lines);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QString shown;
            int widest = 0;
            for (QLabel* label : dialog.findChildren<QLabel*>()) {
                if (!label->isVisible())
                    continue;
                QVERIFY2(!label->text().isEmpty() && !label->text().contains(QStringLiteral("\n\n")),
                         test.what);
                widest = std::max(widest, label->sizeHint().width());
                shown += label->text();
            }
            shown.remove(QLatin1Char('\n'));
            QVERIFY2(shown.startsWith(QString::fromStdString(test.lines[0] + test.lines[1] + test.lines[2])),
                     test.what);
            const auto* buttons = dialog.findChild<QDialogButtonBox*>();
            const QMargins margins = dialog.layout()->contentsMargins();
            const int content =
                std::max(widest, buttons->sizeHint().width()) + margins.left() + margins.right();
            QVERIFY2(dialog.width() <= content, test.what);
            QVERIFY2(dialog.frameGeometry().width() <= dialog.screen()->availableGeometry().width(),
                     test.what);
        }
    }

private:
    QUrl helpOpened_;
};

VELMORA_QT_TEST(LookAndFeelTest)

} // namespace velmora::desktop

#include "LookAndFeelTest.moc"
