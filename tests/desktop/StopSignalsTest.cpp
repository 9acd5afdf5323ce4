// A stop signal (SIGTERM, SIGHUP: a logout, a service manager) ends the desktop program: dialogs
// left open are closed as cancelled, a run going on stops and writes its log, then the window closes.
#include "QtTestRegistry.h"
#include "desktop/MainWindow.h"
#include "platform/PosixFileSystem.h"
#include "profiles/SettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <memory>

namespace velmora::desktop {

namespace {

// Whether process `pid` has a file open under `folder` that has no name yet: a copy under way.
bool copiesInto(qint64 pid, const QString& folder) {
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString& entry : fds.entryList(QDir::NoDotAndDotDot | QDir::System | QDir::Files)) {
        const QString target = QFile::symLinkTarget(fds.filePath(entry));
        if (target.startsWith(folder) && target.endsWith(QStringLiteral(" (deleted)")))
            return true;
    }
    return false;
}

} // namespace

class StopSignalsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aSignalClosesAnOpenDialogThenTheWindow() {
        QTemporaryDir folder;
        platform::PosixFileSystem fileSystem;
        SettingsStore settings(QDir(folder.path()).filePath(QStringLiteral("settings.conf")).toStdString());
        MainWindow window(fileSystem, settings);
        window.startUp("");
        window.show();
        QSignalSpy finished(&window, &QDialog::finished);
        // The signal arrives while More Options waits for the user.
        QTimer::singleShot(100, &window, [&window] { window.endFromOutside(SIGTERM); });
        window.findChild<QPushButton*>(QStringLiteral("moreOptionsButton"))->click();
        QVERIFY(finished.wait(5000) || finished.count() == 1);
        QVERIFY(window.controller().finished());
    }

    // The real program, offscreen, in the middle of copying a big tree.
    void theProgramEndsOnSigtermAfterItsRunHasWrittenItsLog() {
        QTemporaryDir folder;
        const QDir root(folder.path());
        QVERIFY(root.mkpath(QStringLiteral("source")));
        const QByteArray block(1 << 20, 'x');
        for (int i = 0; i < 4; ++i) {
            QFile big(root.filePath(QStringLiteral("source/big%1.bin").arg(i)));
            QVERIFY(big.open(QIODevice::WriteOnly));
            for (int m = 0; m < 64; ++m)
                big.write(block);
        }
        const QString target = root.filePath(QStringLiteral("target"));
        QVERIFY(root.mkpath(QStringLiteral("target")));
        const QString log = root.filePath(QStringLiteral("run.log"));
        QFile profile(root.filePath(QStringLiteral("p.vmp")));
        QVERIFY(profile.open(QIODevice::WriteOnly));
        profile.write(
            "velmora_version=1.09\r\nlocation1=" + root.filePath(QStringLiteral("source/")).toUtf8() +
            "\r\nlocation2=" + target.toUtf8() +
            "/\r\nauto_start=1\r\ncheck_actions=0\r\nlog_file_on=1\r\nlog_file_path=" + log.toUtf8() +
            "\r\n");
        profile.close();

        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("VELMORA_SETTINGS"),
                           root.filePath(QStringLiteral("settings.conf")));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(VELMORA_DESKTOP_PATH), {profile.fileName()});
        QVERIFY(program.waitForStarted());
        bool copying = false;
        for (int waited = 0; waited < 600000 && !copying && program.state() == QProcess::Running; ++waited) {
            copying = copiesInto(program.processId(), target);
            if (!copying)
                QTest::qWait(0);
        }
        QVERIFY2(copying, "the copy was never seen under way");
        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QFile written(log);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray text = written.readAll();
        QVERIFY2(text.contains("Synchronisation interrupted by the signal SIGTERM"), text.constData());
        QVERIFY(text.contains("Results Summary:"));
        QVERIFY(
            QDir(target).entryList(QDir::Hidden | QDir::Files).filter(QStringLiteral(".velmora-")).isEmpty());
    }
};

VELMORA_QT_TEST(StopSignalsTest)

} // namespace velmora::desktop

#include "StopSignalsTest.moc"
