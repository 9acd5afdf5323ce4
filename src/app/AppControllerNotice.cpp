// Telling observers what of the main window changed.
#include "app/AppController.h"

#include <algorithm>

namespace velmora {

void AppController::addObserver(ControllerObserver& observer) {
    observers_.push_back(&observer);
}

void AppController::removeObserver(ControllerObserver& observer) {
    std::erase(observers_, &observer);
}

AppController::ChangeNotice::ChangeNotice(AppController& owner) : owner_(owner) {
    ++owner_.noticeDepth_;
}

AppController::ChangeNotice::~ChangeNotice() {
    if (--owner_.noticeDepth_ == 0)
        owner_.publishChanges();
}

AppController::VisibleState AppController::visibleState() const {
    return {controlState(), title_,   selectorText_, recentFiles_,        location1_,
            location2_,     recent1_, recent2_,      flags_.runningState, batchRunning_};
}

void AppController::publishChanges(ChangeSet extra) {
    VisibleState now = visibleState();
    ChangeSet changes = extra;
    if (now.controls != shown_.controls)
        changes |= Change::Controls;
    if (now.title != shown_.title)
        changes |= Change::Title;
    if (now.selector != shown_.selector)
        changes |= Change::Selector;
    if (now.recentFiles != shown_.recentFiles)
        changes |= Change::RecentFiles;
    if (now.location1 != shown_.location1 || now.location2 != shown_.location2 ||
        now.recent1 != shown_.recent1 || now.recent2 != shown_.recent2)
        changes |= Change::Locations;
    if (now.runningState != shown_.runningState || now.batchRunning != shown_.batchRunning)
        changes |= Change::Running;
    shown_ = std::move(now);
    if (changes.empty())
        return;
    // A copy: an observer may remove itself while being told.
    const std::vector<ControllerObserver*> observers = observers_;
    for (ControllerObserver* observer : observers)
        observer->controllerChanged(changes);
}

// --- The engine's calls, passed on -------------------------------------------------------

void AppController::ObservedFrontEnd::pump() {
    owner_.services_.frontEnd.pump();
}

// While the program ends from outside nobody may be there to answer: every question is answered
// as the one that changes nothing, and what would wait for the user is not shown.
void AppController::ObservedFrontEnd::message(const std::string& text) {
    if (!owner_.endingFromOutside_)
        owner_.services_.frontEnd.message(text);
}

bool AppController::ObservedFrontEnd::question(const std::string& text) {
    return !owner_.endingFromOutside_ && owner_.services_.frontEnd.question(text);
}

bool AppController::ObservedFrontEnd::cautiousQuestion(const std::string& text) {
    return !owner_.endingFromOutside_ && owner_.services_.frontEnd.cautiousQuestion(text);
}

DeleteAnswer AppController::ObservedFrontEnd::confirmDelete(const std::string& caption,
                                                            const std::array<std::string, 4>& lines) {
    if (owner_.endingFromOutside_)
        return DeleteAnswer::Cancel;
    return owner_.services_.frontEnd.confirmDelete(caption, lines);
}

bool AppController::ObservedFrontEnd::checkList(CheckListSets& sets) {
    return !owner_.endingFromOutside_ && owner_.services_.frontEnd.checkList(sets);
}

void AppController::ObservedFrontEnd::report(const SyncResults& results) {
    // The run log has its results already: they are written as the report opens.
    if (!owner_.endingFromOutside_)
        owner_.services_.frontEnd.report(results);
}

void AppController::ObservedFrontEnd::progress(const ProgressView& view) {
    owner_.progress_ = view;
    owner_.services_.frontEnd.progress(view);
    owner_.publishChanges(Change::Progress);
}

void AppController::ObservedFrontEnd::runningChanged(RunningState runningState) {
    owner_.services_.frontEnd.runningChanged(runningState);
    owner_.publishChanges();
}

void AppController::ObservedFrontEnd::actionDone(ActionKind kind, const FileItem& target, bool failed) {
    owner_.services_.frontEnd.actionDone(kind, target, failed);
}

} // namespace velmora
