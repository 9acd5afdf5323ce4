#include "widgets/ConfirmationDlg.h"

#include "engine/DeleteConfirmation.h"
#include "widgets/Text.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace velmora::widgets {

namespace {

// `text` in lines no wider than `width`: each break after the last '/' or space that fits, when
// that keeps at least half the line, else after the last character that fits.
QString brokenToWidth(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    QString rest = text;
    while (metrics.horizontalAdvance(rest) > width) {
        qsizetype fits = 1;
        while (fits < rest.size() && metrics.horizontalAdvance(rest.left(fits + 1)) <= width)
            ++fits;
        if (fits < rest.size() && rest[fits].isLowSurrogate())
            --fits;
        const qsizetype breakAt = std::max(rest.lastIndexOf(QLatin1Char('/'), fits - 1),
                                           rest.lastIndexOf(QLatin1Char(' '), fits - 1));
        if (breakAt + 1 >= fits / 2)
            fits = breakAt + 1;
        lines << rest.left(std::max<qsizetype>(fits, 1));
        rest = rest.mid(std::max<qsizetype>(fits, 1));
    }
    lines << rest;
    return lines.join(QLatin1Char('\n'));
}

} // namespace

ConfirmationDlg::ConfirmationDlg(const QString& caption, const std::array<std::string, 4>& lines,
                                 QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("confirmationDialog"));
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);

    // The lines are slices of one text cut by length: they read as one paragraph, broken where the
    // width runs out (after a '/' or a space where one is near), not mid-word at each slice. The
    // dialog is as wide as that text, up to a slice's length and never wider than the screen, and
    // a short text leaves no empty rows.
    QString text;
    for (const std::string& line : lines)
        text += fromText(line);
    const QRect screen = this->screen()->availableGeometry();
    const int widest =
        std::min(fontMetrics().averageCharWidth() * static_cast<int>(DeleteConfirmation::kLineLength),
                 screen.width() * 9 / 10 - 2 * style()->pixelMetric(QStyle::PM_LayoutLeftMargin));
    auto* label = new QLabel(brokenToWidth(text, fontMetrics(), widest), this);
    label->setObjectName(QStringLiteral("textLabel"));
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
    // Every delete asked about here is for good (the folder tree's trash asks its own question).
    auto* permanent =
        new QLabel(QStringLiteral("It will not go to the trash: a delete cannot be undone."), this);
    permanent->setObjectName(QStringLiteral("permanentLabel"));
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addWidget(permanent);

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
