#pragma once

#include <QDialog>
#include <string>

class QLabel;

namespace velmora::browse {

class BrowseEnvironment;
class FolderTree;

// "Select folder": a prompt, the folder tree, OK, Cancel, "Create Dir" and, where the window can
// reach other machines, "Connect to server...". Hands back the chosen
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
    // "Connect to server...": asks for an address, then shows the server under Network, logged
    // in and opened at the folder the address names.
    void connectToServer();
    void accept() override;

private:
    BrowseEnvironment& environment_;
    FolderTree* tree_;
    std::string path_;
    bool ignoreSelection_ = true;
};

} // namespace velmora::browse
