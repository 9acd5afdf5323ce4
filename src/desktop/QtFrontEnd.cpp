#include "desktop/QtFrontEnd.h"

#include "views/RunViews.h"
#include "widgets/DeleteQuestion.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Text.h"

#include <QCoreApplication>
#include <QFileDialog>

namespace velmora::desktop {

QtFrontEnd::QtFrontEnd(QWidget& window, RunDisplay& display) : window_(window), display_(display) {}

void QtFrontEnd::pump() {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPump_ < kPumpInterval)
        return;
    lastPump_ = now;
    if (progressPending_ && now - lastProgress_ >= kProgressInterval)
        showPendingProgress();
    QCoreApplication::processEvents();
}

void QtFrontEnd::showPendingProgress() {
    if (!progressPending_)
        return;
    progressPending_ = false;
    lastProgress_ = std::chrono::steady_clock::now();
    display_.showProgress(pendingProgress_);
}

void QtFrontEnd::message(const std::string& text) {
    showPendingProgress();
    widgets::showMessage(&window_, widgets::fromText(text));
}

bool QtFrontEnd::question(const std::string& text) {
    showPendingProgress();
    return widgets::askQuestion(&window_, widgets::fromText(text));
}

bool QtFrontEnd::cautiousQuestion(const std::string& text) {
    showPendingProgress();
    return widgets::askQuestion(&window_, widgets::fromText(text), widgets::Default::No);
}

DeleteAnswer QtFrontEnd::confirmDelete(const std::string& caption, const std::array<std::string, 4>& lines) {
    showPendingProgress();
    return widgets::askDeleteQuestion(&window_, caption, lines);
}

bool QtFrontEnd::checkList(CheckListSets& sets) {
    showPendingProgress();
    return views::showCheckList(&window_, sets);
}

void QtFrontEnd::report(const SyncResults& results) {
    showPendingProgress();
    views::showReport(&window_, results, display_.silentNow());
}

void QtFrontEnd::progress(const ProgressView& view) {
    pendingProgress_ = view;
    progressPending_ = true;
}

void QtFrontEnd::runningChanged(RunningState) {
    // The window follows the running state through the controller's change notice.
    showPendingProgress();
    // The engine's next pump shows the new state at once. Not pumped here: a run clears the stop
    // request after telling that it starts.
    lastPump_ = {};
}

std::vector<std::string> QtFrontEnd::chooseFiles(const FileChoice& request) {
    const QString title = widgets::fromText(request.title);
    const QString start = widgets::fromPath(request.startFolder);
    if (request.kind == FileChoice::Kind::Folder) {
        const std::optional<QString> folder = chooseFolder_ ? chooseFolder_(title, start) : std::nullopt;
        if (!folder)
            return {};
        return {widgets::toPath(*folder)};
    }
    const bool save = request.kind == FileChoice::Kind::Save;
    QFileDialog dialog(&window_, title, start);
    dialog.setObjectName(save ? QStringLiteral("saveFileDialog") : QStringLiteral("openFileDialog"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save                                            ? QFileDialog::AnyFile
                       : request.kind == FileChoice::Kind::OpenSeveral ? QFileDialog::ExistingFiles
                                                                       : QFileDialog::ExistingFile);
    if (save && !request.askBeforeOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters;
    for (const FileChoice::Filter& filter : request.filters)
        filters << widgets::fromText(filter.label);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(widgets::fromText(request.defaultExtension));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    std::vector<std::string> chosen;
    for (const QString& file : dialog.selectedFiles())
        chosen.push_back(widgets::toPath(file));
    return chosen;
}

} // namespace velmora::desktop
