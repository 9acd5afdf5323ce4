#include "widgets/ConfirmationDlg.h"

#include "engine/DeleteConfirmation.h"
#include "widgets/Text.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::widgets {

ConfirmationDlg::ConfirmationDlg(const QString& caption, const std::array<std::string, 4>& lines,
                                 QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("confirmationDialog"));
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);

    // Each line holds up to a full slice of a long path: wide enough for it without wrapping, so a
    // path reads as one piece across the lines.
    const int lineWidth =
        fontMetrics().averageCharWidth() * static_cast<int>(DeleteConfirmation::kLineLength);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto* label = new QLabel(fromText(lines[i]), this);
        label->setObjectName(QStringLiteral("line%1Label").arg(i + 1));
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setMinimumWidth(lineWidth);
        layout->addWidget(label);
    }
    // Every delete asked about here is for good (the folder tree's trash asks its own question).
    auto* permanent =
        new QLabel(QStringLiteral("It will not go to the trash: a delete cannot be undone."), this);
    permanent->setObjectName(QStringLiteral("permanentLabel"));
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addWidget(permanent);
    layout->addSpacing(fontMetrics().height() / 2);

    auto* buttons = new QDialogButtonBox(this);
    buttons->setCenterButtons(true);
    const struct {
        const char* caption;
        const char* name;
        DeleteAnswer answer;
    } choices[] = {{"&Yes", "yesButton", DeleteAnswer::Yes},
                   {"Yes To &All", "yesToAllButton", DeleteAnswer::YesToAll},
                   {"&No", "noButton", DeleteAnswer::No},
                   {"N&o To All", "noToAllButton", DeleteAnswer::NoToAll},
                   {"&Cancel", "cancelButton", DeleteAnswer::Cancel}};
    for (const auto& choice : choices) {
        auto* button = new QPushButton(QString::fromLatin1(choice.caption), buttons);
        button->setObjectName(QLatin1String(choice.name));
        // The box keeps the order given: no platform reordering of Yes and No.
        buttons->addButton(button, QDialogButtonBox::ActionRole);
        const DeleteAnswer answer = choice.answer;
        connect(button, &QPushButton::clicked, this, [this, answer] { answerWith(answer); });
        if (answer == DeleteAnswer::Yes) {
            button->setDefault(true);
            button->setFocus();
        }
    }
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ConfirmationDlg::answerWith(DeleteAnswer answer) {
    answer_ = answer;
    if (answer == DeleteAnswer::Cancel)
        reject();
    else
        accept();
}

} // namespace velmora::widgets
