#include "widgets/MessageBoxes.h"

#include "widgets/Text.h"

#include <QMessageBox>

namespace velmora::widgets {

void showMessage(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, kProgramName, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("messageBox"));
    box.exec();
}

bool askQuestion(QWidget* parent, const QString& text, Default preferred) {
    QMessageBox box(preferred == Default::No ? QMessageBox::Warning : QMessageBox::Question, kProgramName,
                    text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName(QStringLiteral("questionBox"));
    box.setDefaultButton(preferred == Default::No ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace velmora::widgets
