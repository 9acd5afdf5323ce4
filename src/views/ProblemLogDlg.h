#pragma once

#include <QDialog>
#include <string>
#include <vector>

namespace velmora::views {

// The problem lines of the last run, two per failure: what failed on which path, then why.
class ProblemLogDlg : public QDialog {
    Q_OBJECT

public:
    explicit ProblemLogDlg(const std::vector<std::string>& problems, QWidget* parent = nullptr);
};

} // namespace velmora::views
