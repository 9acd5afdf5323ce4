#include "widgets/DeleteQuestion.h"

#include "widgets/Text.h"

#include <QMessageBox>
#include <QPushButton>

namespace velmora::widgets {

// A plain message box until the confirmation dialog of its own takes its place.
DeleteAnswer askDeleteQuestion(QWidget* parent, const std::string& caption,
                               const std::array<std::string, 4>& lines) {
    QStringList text;
    for (const std::string& line : lines)
        if (!line.empty())
            text << fromText(line);
    QMessageBox box(QMessageBox::Question, fromText(caption), text.join(QLatin1Char('\n')),
                    QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QMessageBox::tr("&Yes"), QMessageBox::YesRole);
    QPushButton* yesToAll = box.addButton(QMessageBox::tr("Yes To &All"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QMessageBox::tr("&No"), QMessageBox::NoRole);
    QPushButton* noToAll = box.addButton(QMessageBox::tr("N&o To All"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QMessageBox::tr("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    const auto* clicked = box.clickedButton();
    if (clicked == yes)
        return DeleteAnswer::Yes;
    if (clicked == yesToAll)
        return DeleteAnswer::YesToAll;
    if (clicked == no)
        return DeleteAnswer::No;
    if (clicked == noToAll)
        return DeleteAnswer::NoToAll;
    return DeleteAnswer::Cancel;
}

} // namespace velmora::widgets
