#include "desktop/QtFrontEnd.h"

#include "views/RunViews.h"
#include "widgets/DeleteQuestion.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Text.h"

#include <QCoreApplication>

namespace velmora::desktop {

QtFrontEnd::QtFrontEnd(QWidget& window, RunDisplay& display) : window_(window), display_(display) {}

void QtFrontEnd::pump() {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPump_ < kPumpInterval)
        return;
    lastPump_ = now;
    QCoreApplication::processEvents();
}

void QtFrontEnd::message(const std::string& text) {
    widgets::showMessage(&window_, widgets::fromText(text));
}

bool QtFrontEnd::question(const std::string& text) {
    return widgets::askQuestion(&window_, widgets::fromText(text));
}

DeleteAnswer QtFrontEnd::confirmDelete(const std::string& caption, const std::array<std::string, 4>& lines) {
    return widgets::askDeleteQuestion(&window_, caption, lines);
}

bool QtFrontEnd::checkList(CheckListSets& sets) {
    return views::showCheckList(&window_, sets);
}

void QtFrontEnd::report(const SyncResults& results) {
    views::showReport(&window_, results, display_.silentNow());
}

void QtFrontEnd::progress(const ProgressView& view) {
    display_.showProgress(view);
}

void QtFrontEnd::runningChanged(int runningState) {
    display_.showRunningState(runningState);
    // The engine's next pump shows the new state at once. Not pumped here: a run clears the stop
    // request after telling that it starts.
    lastPump_ = {};
}

} // namespace velmora::desktop
