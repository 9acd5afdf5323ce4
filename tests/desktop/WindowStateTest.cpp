// What the main window shows of its files and buttons as a person uses it: the profile selector
// through a batch run and after a failed open, the synchronise buttons "Hide other button"
// leaves, where Save As starts, and a window that keeps its size.
#include "QtTestRegistry.h"
#include "WindowRig.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace velmora::desktop {

namespace {

struct Rig : WindowRig {
    QString selectorShows() const { return control<QComboBox>("profileSelector")->currentText(); }
};

// Runs `act` on each modal window that opens, until it answers false.
void whileModalsOpen(const std::function<bool(QWidget&)>& act) {
    QTimer::singleShot(10, QApplication::instance(), [act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || act(*modal))
            whileModalsOpen(act);
    });
}

// Runs `act` once on the next modal window.
void onNextModal(const std::function<void(QWidget&)>& act) {
    whileModalsOpen([act](QWidget& modal) {
        act(modal);
        return false;
    });
}

} // namespace

class WindowStateTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A recent profile that cannot be opened leaves the list and the selector empty; the profile
    // shown before stays shown.
    void aRecentFileThatFailsToOpenEmptiesTheSelector() {
        Rig rig;
        const std::string gone = rig.profile(QStringLiteral("gone"));
        const std::string kept = rig.profile(QStringLiteral("kept"));
        rig.show();
        QVERIFY(rig.window->controller().openFile(gone));
        QVERIFY(rig.window->controller().openFile(kept));
        rig.window->refresh();
        QVERIFY(QFile::remove(QString::fromStdString(gone)));

        // From Location 1's box back to the selector, and the next entry with the arrow key.
        auto* selector = rig.control<QComboBox>("profileSelector");
        QLineEdit* location = rig.control<QComboBox>("locationOneBox")->lineEdit();
        QTest::mouseClick(location, Qt::LeftButton, {}, QPoint(4, location->height() / 2));
        for (int i = 0; i < 10 && QApplication::focusWidget() != selector; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), selector);
        QString message;
        onNextModal([&message](QWidget& box) {
            message = static_cast<QMessageBox&>(box).text();
            static_cast<QMessageBox&>(box).accept();
        });
        QTest::keyClick(selector, Qt::Key_Down);

        QCOMPARE(message, QStringLiteral("Could not open file: ") + QString::fromStdString(gone));
        QCOMPARE(rig.selectorShows(), QString());
        QCOMPARE(selector->count(), 1);
        QCOMPARE(rig.window->controller().currentProfilePath(), kept);
    }

    // "Hide other button" hides the button of the other direction whenever an auto-start
    // direction is set, also in a profile not yet saved; without one both buttons show.
    void hideOtherButtonFollowsTheAutoStartDirection() {
        Rig rig;
        rig.show();
        auto moreOptions = [&rig](const std::function<void(QWidget&)>& edit) {
            onNextModal([edit](QWidget& dialog) {
                edit(dialog);
                find(dialog, "okButton")->click();
            });
            rig.control<QPushButton>("moreOptionsButton")->click();
        };
        auto shown = [&rig] {
            return std::pair{rig.control("synchroniseOneToTwoButton")->isVisible(),
                             rig.control("synchroniseTwoToOneButton")->isVisible()};
        };
        QCOMPARE(shown(), std::pair(true, true));

        moreOptions([](QWidget& dialog) {
            find<QCheckBox>(dialog, "autoStartBox")->click();
            find<QRadioButton>(dialog, "twoToOneRadio")->click();
            find<QCheckBox>(dialog, "hideOtherButtonBox")->click();
        });
        QCOMPARE(shown(), std::pair(false, true));

        moreOptions([](QWidget& dialog) { find<QCheckBox>(dialog, "autoStartBox")->click(); });
        QCOMPARE(shown(), std::pair(true, true));

        // A saved profile with the rule; with nothing open afterwards the buttons stay as they were.
        QVERIFY(rig.window->controller().openFile(
            rig.profile(QStringLiteral("one"), "auto_start=1\r\nhide_other_button=1\r\n")));
        rig.window->refresh();
        QCOMPARE(shown(), std::pair(true, false));
        rig.control<QPushButton>("closeButton")->click();
        QCOMPARE(shown(), std::pair(true, false));
    }

    // Save As of a new batch offers no name, in the folder of the last batch; of an open profile,
    // that profile.
    void saveAsStartsWithoutAnotherFilesName() {
        Rig rig;
        rig.write(QStringLiteral("batches/old.vmb"), "file_type=Velmora_batch\r\nvelmora_version=1.09\r\n"
                                                     "profiles=\r\nend_profiles\r\n");
        const std::string profile = rig.profile(QStringLiteral("profiles/auto2"), "auto_start=1\r\n");
        rig.show();
        QVERIFY(rig.window->controller().openFile(rig.path("batches/old.vmb").toStdString()));
        QVERIFY(rig.window->controller().openFile(profile));
        rig.window->refresh();

        struct Offer {
            QString folder, name;
        };
        auto offerOf = [](QWidget& dialog) {
            auto& files = static_cast<QFileDialog&>(dialog);
            return Offer{files.directory().absolutePath(), find<QLineEdit>(dialog, "fileNameEdit")->text()};
        };
        Offer profileOffer;
        onNextModal([&](QWidget& dialog) {
            profileOffer = offerOf(dialog);
            static_cast<QDialog&>(dialog).reject();
        });
        rig.control<QPushButton>("saveAsButton")->click();
        QCOMPARE(profileOffer.folder, rig.path("profiles"));
        QCOMPARE(profileOffer.name, QStringLiteral("auto2.vmp"));

        // Batch closes the profile; Add Files picks it, OK goes on to Save As.
        Offer batchOffer;
        onNextModal([&](QWidget& batchDialog) {
            onNextModal([&](QWidget& addFiles) {
                static_cast<QFileDialog&>(addFiles).selectFile(QString::fromStdString(profile));
                static_cast<QDialog&>(addFiles).accept();
                onNextModal([&](QWidget&) {
                    onNextModal([&](QWidget& saveAs) {
                        batchOffer = offerOf(saveAs);
                        static_cast<QDialog&>(saveAs).reject();
                    });
                    find(batchDialog, "okButton")->click();
                });
            });
            find(batchDialog, "addFilesButton")->click();
        });
        rig.control<QPushButton>("batchButton")->click();
        QCOMPARE(batchOffer.folder, rig.path("batches"));
        QCOMPARE(batchOffer.name, QString());
    }
};

VELMORA_QT_TEST(WindowStateTest)

} // namespace velmora::desktop

#include "WindowStateTest.moc"
