#include "widgets/DeleteQuestion.h"

#include "widgets/ConfirmationDlg.h"
#include "widgets/Text.h"

namespace velmora::widgets {

DeleteAnswer askDeleteQuestion(QWidget* parent, const std::string& caption,
                               const std::array<std::string, 4>& lines) {
    ConfirmationDlg dialog(fromText(caption), lines, parent);
    dialog.exec();
    return dialog.answer();
}

} // namespace velmora::widgets
