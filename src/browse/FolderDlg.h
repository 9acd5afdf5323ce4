#pragma once

#include <QDialog>
#include <string>

class QLabel;

namespace velmora::browse {

class BrowseEnvironment;
class FolderTree;

// "Select folder": a prompt, the folder tree, OK, Cancel and "Create Dir". Hands back the chosen
// folder, always ending in "/" ("/" alone when nothing with a path was chosen).
class FolderDlg : public QDialog {
    Q_OBJECT

public:
    FolderDlg(BrowseEnvironment& environment, const QString& prompt, const std::string& startPath,
              QWidget* parent = nullptr);

    const std::string& path() const { return path_; }
    FolderTree* tree() const { return tree_; }
    // "Create Dir": asks for a name and creates it below the current folder.
    void createFolder();
    void accept() override;

private:
    BrowseEnvironment& environment_;
    FolderTree* tree_;
    std::string path_;
    bool ignoreSelection_ = true;
};

} // namespace velmora::browse
