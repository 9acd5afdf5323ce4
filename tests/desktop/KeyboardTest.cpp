// The main window driven the way a person drives it: the focus moved by Tab or a click, keys sent
// to whatever holds the focus, boxes toggled through the accessibility interface.
#include "QtTestRegistry.h"
#include "WindowRig.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace velmora::desktop {

namespace {

struct Rig : WindowRig {
    std::string profile() const { return WindowRig::profile(QStringLiteral("p")); }
    // A click into a control, as the mouse gives it the focus.
    void clickInto(QWidget* widget) const {
        QWidget* target = widget;
        if (auto* box = qobject_cast<QComboBox*>(widget); box && box->isEditable())
            target = box->lineEdit();
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(4, target->height() / 2));
    }
    static QWidget* focused() { return QApplication::focusWidget(); }
    // Select-all and type, into whatever holds the focus.
    static void typeOver(const QString& text) {
        QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(focused(), text);
    }
};

// Answers the next question box with `button` and keeps its text.
void answerNextQuestion(QMessageBox::StandardButton button, QString* text) {
    QTimer::singleShot(0, QApplication::instance(), [button, text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        *text = box->text();
        box->button(button)->click();
    });
}

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Typing a location and leaving the box by Tab or by a click on another control takes it: the
    // trailing '/', first in the recent list, the profile modified, and Exit offers to save it.
    void aTypedLocationIsTakenWhenTheFocusLeavesTheBox() {
        for (const bool byTab : {true, false}) {
            Rig rig;
            rig.show(rig.profile());
            QVERIFY(!rig.control("saveButton")->isEnabled());
            rig.clickInto(rig.control("locationOneBox"));
            const QString typed = rig.path("elsewhere");
            Rig::typeOver(typed);
            if (byTab)
                QTest::keyClick(Rig::focused(), Qt::Key_Tab);
            else
                rig.clickInto(rig.control("locationTwoBox"));

            const QString taken = typed + QLatin1Char('/');
            QCOMPARE(rig.control<QComboBox>("locationOneBox")->currentText(), taken);
            QCOMPARE(rig.control<QComboBox>("locationOneBox")->itemText(0), taken);
            QCOMPARE(rig.window->controller().profile().location1, taken.toStdString());
            QVERIFY(rig.control("saveButton")->isEnabled());

            QString question;
            answerNextQuestion(QMessageBox::Yes, &question);
            rig.control<QPushButton>("exitButton")->click();
            QCOMPARE(question, QStringLiteral("The current profile has been modified.\n"
                                              "Do you wish to save your changes?"));
            QFile saved(rig.path("p.vmp"));
            QVERIFY(saved.open(QIODevice::ReadOnly));
            QVERIFY(saved.readAll().contains("location1=" + taken.toUtf8() + "\r\n"));
        }
    }

    // Enter in an editable field never reaches Exit: in a location box it takes the location, in
    // the profile selector it opens the list; the window stays.
    void enterInAFieldKeepsTheWindow() {
        Rig rig;
        rig.show(rig.profile());
        rig.clickInto(rig.control("locationTwoBox"));
        Rig::typeOver(rig.path("typed"));
        QTest::keyClick(Rig::focused(), Qt::Key_Return);
        QVERIFY(rig.window->isVisible());
        QVERIFY(!rig.window->controller().finished());
        QCOMPARE(rig.window->controller().locationText(Location::Two), rig.path("typed/").toStdString());

        // Shift+Tab from Location 1's box: Browse, then the profile row's buttons and the selector.
        rig.clickInto(rig.control("locationOneBox"));
        for (QWidget* at = Rig::focused(); at != rig.control("profileSelector"); at = Rig::focused())
            QTest::keyClick(at, Qt::Key_Backtab);
        QTest::keyClick(Rig::focused(), Qt::Key_Enter);
        QVERIFY(rig.window->isVisible());
        QVERIFY(!rig.window->controller().finished());
        rig.control<QComboBox>("profileSelector")->hidePopup();

        // Elsewhere Enter is still the default button's: Exit.
        for (QWidget* at = Rig::focused(); at != rig.control("addFilesBox"); at = Rig::focused())
            QTest::keyClick(at, Qt::Key_Tab);
        QString question;
        answerNextQuestion(QMessageBox::No, &question);
        QTest::keyClick(Rig::focused(), Qt::Key_Return);
        QVERIFY(rig.window->controller().finished());
    }

    // A box toggled through the accessibility interface (what voice control and switch access
    // do) follows the same rules as one clicked: "Silent Mode" clears and disables the check-list.
    void anAccessibilityToggleKeepsTheWindowsRules() {
        Rig rig;
        rig.show(rig.profile());
        auto* checkList = rig.control<QCheckBox>("checkActionsBox");
        auto* silent = rig.control<QCheckBox>("silentModeBox");
        if (!checkList->isChecked())
            checkList->click();
        QAccessibleActionInterface* action = QAccessible::queryAccessibleInterface(silent)->actionInterface();
        QVERIFY(action != nullptr);
        QVERIFY(action->actionNames().contains(QAccessibleActionInterface::toggleAction()));
        action->doAction(QAccessibleActionInterface::toggleAction());

        QVERIFY(silent->isChecked());
        QVERIFY(rig.window->controller().options().silentMode);
        QVERIFY(!checkList->isChecked());
        QVERIFY(!checkList->isEnabled());
        QVERIFY(!rig.control("confirmDeletesBox")->isEnabled());
        QVERIFY(rig.control("saveButton")->isEnabled());

        // A box the rules keep clear cannot be ticked that way either.
        action = QAccessible::queryAccessibleInterface(checkList)->actionInterface();
        action->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(!checkList->isChecked());
        QVERIFY(!rig.window->controller().options().checkActions);
    }
};

VELMORA_QT_TEST(KeyboardTest)

} // namespace velmora::desktop

#include "KeyboardTest.moc"
