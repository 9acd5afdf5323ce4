#include "views/RunViews.h"

#include "app/ActionListsModel.h"
#include "app/ReportModel.h"
#include "views/ActionCheckListDlg.h"
#include "views/SyncReportDlg.h"

namespace velmora::views {

bool showCheckList(QWidget* parent, CheckListSets& sets) {
    ActionListsModel model(sets);
    ActionCheckListDlg dialog(model, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    sets = model.sets();
    return true;
}

void showReport(QWidget* parent, const SyncResults& results, bool closeAtOnce) {
    const ReportModel model(results, closeAtOnce);
    SyncReportDlg dialog(model, parent);
    dialog.exec();
}

} // namespace velmora::views
