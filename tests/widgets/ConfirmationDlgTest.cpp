#include "widgets/ConfirmationDlg.h"

#include "QtTestRegistry.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace velmora::widgets {

class ConfirmationDlgTest : public QObject {
    Q_OBJECT

    // Opens the dialog modally and lets `act` answer it once it shows. A dialog that `act` failed
    // to close is closed from outside, so a fault fails the test instead of hanging it.
    static int answerWith(const std::function<void(ConfirmationDlg&)>& act) {
        ConfirmationDlg dialog(QStringLiteral("Delete File"), {"Delete file: /a", "", "", ""});
        bool stuck = false;
        QTimer::singleShot(0, &dialog, [&] {
            act(dialog);
            if (dialog.isVisible()) {
                stuck = true;
                dialog.reject();
            }
        });
        dialog.exec();
        return stuck ? -1 : static_cast<int>(dialog.answer());
    }

private Q_SLOTS:
    void eachButtonGivesItsAnswer() {
        const std::pair<const char*, DeleteAnswer> table[] = {{"yesButton", DeleteAnswer::Yes},
                                                              {"yesToAllButton", DeleteAnswer::YesToAll},
                                                              {"noButton", DeleteAnswer::No},
                                                              {"noToAllButton", DeleteAnswer::NoToAll},
                                                              {"cancelButton", DeleteAnswer::Cancel}};
        for (const auto& [name, expected] : table) {
            const int got = answerWith([name = name](ConfirmationDlg& dialog) {
                dialog.findChild<QPushButton*>(QLatin1String(name))->click();
            });
            QCOMPARE(got, static_cast<int>(expected));
        }
    }

    void keysAndCloseBox() {
        QCOMPARE(answerWith([](ConfirmationDlg& d) { QTest::keyClick(&d, Qt::Key_Return); }),
                 static_cast<int>(DeleteAnswer::Yes));
        QCOMPARE(answerWith([](ConfirmationDlg& d) { QTest::keyClick(&d, Qt::Key_Escape); }),
                 static_cast<int>(DeleteAnswer::Cancel));
        QCOMPARE(answerWith([](ConfirmationDlg& d) { d.close(); }), static_cast<int>(DeleteAnswer::Cancel));
    }

    // The question says that the delete is for good, whatever the path fills.
    void theQuestionSaysTheDeleteIsPermanent() {
        ConfirmationDlg dialog(QStringLiteral("Delete File"),
                               {"Delete file: " + std::string(107, 'x'), std::string(120, 'y'), "z", ""});
        dialog.show();
        auto* note = dialog.findChild<QLabel*>(QStringLiteral("permanentLabel"));
        QVERIFY(note != nullptr && note->isVisible());
        QVERIFY(note->text().contains(QStringLiteral("not go to the trash")));
    }
};

VELMORA_QT_TEST(ConfirmationDlgTest)

} // namespace velmora::widgets

#include "ConfirmationDlgTest.moc"
