// The password dialog driven from the keyboard: the focus moved by Tab and mnemonics, keys sent to
// whatever holds it.
#include "desktop/PasswordDlg.h"

#include "QtTestRegistry.h"
#include "WindowRig.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

namespace velmora::desktop {

namespace {

QWidget* focused() {
    return QApplication::focusWidget();
}

void showAndWait(QDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
}

QString accessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face != nullptr ? face->text(QAccessible::Name) : QString();
}

} // namespace

class PasswordDlgTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A share: user name first, then the password (masked), Remember, OK, in that order by Tab.
    void shareLoginIsTypedThroughTheFieldsInTurn() {
        PasswordDlg dialog(PasswordDlg::Kind::UserAndPassword, QStringLiteral("nas/share"), {}, true);
        showAndWait(dialog);
        auto* user = find<QLineEdit>(dialog, "userBox");
        auto* password = find<QLineEdit>(dialog, "passwordBox");
        auto* remember = find<QCheckBox>(dialog, "rememberBox");
        auto* ok = find(dialog, "okButton");
        QCOMPARE(focused(), user);
        QVERIFY(!ok->isEnabled()); // no user, no login
        QVERIFY(!remember->isChecked());

        QTest::keyClicks(focused(), QStringLiteral("WORK\\ann"));
        QVERIFY(ok->isEnabled());
        QTest::keyClick(focused(), Qt::Key_Tab);
        QCOMPARE(focused(), password);
        QTest::keyClicks(focused(), QStringLiteral("s3cret"));
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QVERIFY(!password->displayText().contains(QStringLiteral("s3cret")));
        QTest::keyClick(focused(), Qt::Key_Tab);
        QCOMPARE(focused(), remember);
        QTest::keyClick(focused(), Qt::Key_Space);
        QVERIFY(remember->isChecked());
        QTest::keyClick(focused(), Qt::Key_Tab);
        QCOMPARE(focused(), ok);
        QTest::keyClick(focused(), Qt::Key_Return);

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.user(), QStringLiteral("WORK\\ann"));
        QCOMPARE(dialog.password(), QStringLiteral("s3cret"));
        QVERIFY(dialog.remember());
        for (QWidget* control : {static_cast<QWidget*>(user), static_cast<QWidget*>(password),
                                 static_cast<QWidget*>(remember), static_cast<QWidget*>(ok)})
            QVERIFY2(!accessibleName(control).isEmpty(), qPrintable(control->objectName()));
    }

    // Alt+U, Alt+P and Alt+R reach their controls; a known user starts in the password.
    void mnemonicsReachEveryField() {
        PasswordDlg dialog(PasswordDlg::Kind::UserAndPassword, QStringLiteral("nas/share"),
                           QStringLiteral("ann"), true);
        showAndWait(dialog);
        QCOMPARE(focused(), find<QLineEdit>(dialog, "passwordBox"));
        QTest::keyClick(focused(), Qt::Key_U, Qt::AltModifier);
        QCOMPARE(focused(), find<QLineEdit>(dialog, "userBox"));
        QTest::keyClick(focused(), Qt::Key_P, Qt::AltModifier);
        QCOMPARE(focused(), find<QLineEdit>(dialog, "passwordBox"));
        QTest::keyClick(focused(), Qt::Key_R, Qt::AltModifier);
        QTRY_VERIFY(find<QCheckBox>(dialog, "rememberBox")->isChecked()); // clicked after a flash
    }

    // SFTP asks the password alone; without a keyring Remember is off, cannot be ticked and says why.
    void withoutAKeyringRememberCannotBeTicked() {
        PasswordDlg dialog(PasswordDlg::Kind::Password, QStringLiteral("ann@backup"), {}, false);
        showAndWait(dialog);
        QVERIFY(dialog.findChild<QLineEdit*>(QStringLiteral("userBox")) == nullptr);
        QCOMPARE(focused(), find<QLineEdit>(dialog, "passwordBox"));
        auto* remember = find<QCheckBox>(dialog, "rememberBox");
        QVERIFY(!remember->isEnabled());
        QVERIFY(remember->toolTip().contains(QStringLiteral("keyring")));
        QTest::keyClicks(focused(), QStringLiteral("pw"));
        QTest::keyClick(focused(), Qt::Key_R, Qt::AltModifier);
        QTest::qWait(300); // as long as a mnemonic's click would take
        QVERIFY(!remember->isChecked() && !dialog.remember());
        QTest::keyClick(focused(), Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
};

VELMORA_QT_TEST(PasswordDlgTest)

} // namespace velmora::desktop

#include "PasswordDlgTest.moc"
