#pragma once

#include "engine/FrontEndPort.h"

#include <QDialog>
#include <array>
#include <string>

class QLabel;

namespace velmora::widgets {

// Asks before one planned delete: four lines of text and the answers Yes, Yes To All, No, No To
// All and Cancel. Enter answers Yes; Escape and the close box answer Cancel.
class ConfirmationDlg : public QDialog {
    Q_OBJECT

public:
    ConfirmationDlg(const QString& caption, const std::array<std::string, 4>& lines,
                    QWidget* parent = nullptr);

    // Cancel until another answer is given.
    DeleteAnswer answer() const { return answer_; }

private:
    void answerWith(DeleteAnswer answer);

    DeleteAnswer answer_ = DeleteAnswer::Cancel;
};

} // namespace velmora::widgets
