#include "browse/FolderDlg.h"

#include "app/BrowseRules.h"
#include "browse/BrowseEnvironment.h"
#include "browse/ConnectServerDlg.h"
#include "browse/DirectoryNameDlg.h"
#include "browse/FolderTree.h"
#include "engine/ErrorReporter.h"
#include "platform/ErrorText.h"
#include "platform/FileSystem.h"
#include "widgets/Text.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cerrno>

namespace velmora::browse {

FolderDlg::FolderDlg(BrowseEnvironment& environment, const QString& prompt, const std::string& startPath,
                     QWidget* parent)
    : QDialog(parent), environment_(environment), tree_(new FolderTree(environment, this)), path_(startPath) {
    setWindowTitle(QStringLiteral("Select folder"));
    setObjectName(QStringLiteral("folderDialog"));
    auto* layout = new QGridLayout(this);
    auto* promptLabel = new QLabel(prompt, this);
    promptLabel->setObjectName(QStringLiteral("prompt"));
    promptLabel->setBuddy(tree_);
    tree_->setObjectName(QStringLiteral("folderTree"));
    tree_->setMinimumSize(fontMetrics().averageCharWidth() * 55, fontMetrics().height() * 26);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setAutoDefault(false);
    auto* create = new QPushButton(QStringLiteral("Create &Dir"), this);
    create->setObjectName(QStringLiteral("createDir"));
    create->setAutoDefault(false);
    auto* server = new QPushButton(QStringLiteral("Connect to &server..."), this);
    server->setObjectName(QStringLiteral("connectServer"));
    server->setAutoDefault(false);
    server->setVisible(static_cast<bool>(environment_.remote.connect));
    auto* buttons = new QVBoxLayout();
    for (QPushButton* button : {ok, cancel, create, server})
        buttons->addWidget(button);
    buttons->addStretch(1);
    connect(ok, &QPushButton::clicked, this, &FolderDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(create, &QPushButton::clicked, this, &FolderDlg::createFolder);
    connect(server, &QPushButton::clicked, this, &FolderDlg::connectToServer);
    layout->addWidget(promptLabel, 0, 0);
    layout->addWidget(tree_, 1, 0);
    layout->addLayout(buttons, 1, 1);
    layout->setRowStretch(1, 1);

    connect(tree_, &FolderTree::selectedPathChanged, this, [this] {
        if (!ignoreSelection_)
            path_ = tree_->selectedPath();
    });
    tree_->applyOptions(FolderTree::AllowRename | FolderTree::AllowProperties | FolderTree::AllowDelete);
    tree_->reload();
    tree_->selectPath(startPath, true);
    ignoreSelection_ = false;
    path_ = tree_->selectedPath();
    tree_->setFocus();
}

void FolderDlg::accept() {
    ignoreSelection_ = true;
    path_ = chosenFolderPath(path_);
    QDialog::accept();
}

void FolderDlg::connectToServer() {
    ConnectServerDlg dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    environment_.addConnectedServer(dialog.location());
    tree_->selectPath(dialog.location(), true);
    tree_->setFocus();
}

void FolderDlg::createFolder() {
    DirectoryNameDlg names(this);
    if (names.exec() != QDialog::Accepted)
        return;
    std::string target = path_;
    if (target.empty() || target.back() != '/')
        target += '/';
    target += widgets::toPath(names.name());
    int error = environment_.fileSystem().createFolder(target);
    if (error == EEXIST) {
        platform::FileAttributes attributes;
        if (environment_.fileSystem().getAttributes(target, attributes) == 0 && attributes.isDirectory)
            error = 0;
    }
    if (error != 0) {
        environment_.reporter().lastReason().setFromError(error);
        environment_.reporter().report("FolderDlg::OnCreatedir", "Could not create directory: " + target,
                                       true);
        return;
    }
    tree_->reload();
    tree_->selectPath(target, true);
}

} // namespace velmora::browse
