#pragma once

#include "app/ReportModel.h"

#include <QDialog>

namespace velmora::views {

// The Synchronisation Report: source and target, how the run ended, the five counts, the way to
// the problem log when there were problems, and the detailed lists.
class SyncReportDlg : public QDialog {
    Q_OBJECT

public:
    explicit SyncReportDlg(const ReportModel& model, QWidget* parent = nullptr);

    // In silent mode the report is done as soon as it is asked for: it answers OK without ever
    // waiting for the user.
    int exec() override;

private:
    const ReportModel& model_;
};

} // namespace velmora::views
