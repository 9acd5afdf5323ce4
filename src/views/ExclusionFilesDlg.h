#pragma once

#include <QDialog>
#include <string>

class QListWidget;
class QPushButton;

namespace velmora {
class ExclusionFilesModel;
}
namespace velmora::browse {
class BrowseEnvironment;
}

namespace velmora::views {

// "Exclusion Files": the explicit and wildcard exclusions of the profile, with Remove, Rem
// Wildcard, Lost Files, and Browse and Wildcard to add more. Every edit goes to the model's working
// copy; the caller hands it to the profile on OK.
class ExclusionFilesDlg : public QDialog {
    Q_OBJECT

public:
    ExclusionFilesDlg(ExclusionFilesModel& model, browse::BrowseEnvironment& environment, bool showTooltips,
                      QWidget* parent = nullptr);

    QListWidget* explicitList() const { return explicit_; }
    QListWidget* wildcardList() const { return wildcards_; }

    void remove();
    void removeWildcard();
    void selectLost();
    void browse();
    void addWildcard();

private:
    void refill();
    void takeSelections();
    void showSelections();
    void updateButtons();

    ExclusionFilesModel& model_;
    browse::BrowseEnvironment& environment_;
    bool showTooltips_;
    bool updating_ = false;
    QListWidget* explicit_;
    QListWidget* wildcards_;
    QPushButton* remove_;
    QPushButton* removeWildcard_;
    QPushButton* lost_;
};

} // namespace velmora::views
