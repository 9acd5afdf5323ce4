#pragma once

#include "engine/FrontEndPort.h"
#include "engine/SyncResults.h"

#include <atomic>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace velmora::test {

// A scripted front end: records every call and answers from queues. Unscripted questions
// answer Yes, unscripted confirmations Yes, the unscripted check-list OK.
class FakeFrontEnd : public FrontEndPort {
public:
    // Sets `flag` (the run's stop request) when the pump is called for the nth time (1-based).
    void stopAtPump(std::atomic<bool>& flag, long n) {
        stopFlag_ = &flag;
        stopAtPump_ = n;
    }
    // Called on every pump, after the counting (e.g. to change the disk mid-run).
    std::function<void(long pumpCount)> onPump;

    std::deque<bool> questionAnswers;
    std::deque<DeleteAnswer> deleteAnswers;
    // Edits the sets and answers OK (true) or Cancel (false); default: OK unchanged.
    std::function<bool(CheckListSets&)> checkListAnswer;

    // The answers of the file and folder choosers, in order; unscripted: cancelled.
    std::deque<std::vector<std::string>> fileChoices;

    // What was called.
    long pumps = 0;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::vector<std::string> cautiousQuestions; // also answered from questionAnswers
    struct Confirmation {
        std::string caption;
        std::array<std::string, 4> lines;
    };
    std::vector<Confirmation> confirmations;
    int checkLists = 0;
    std::vector<SyncResults> reports; // copies of what was reported
    std::vector<ProgressView> progressViews;
    std::vector<RunningState> runningStates;
    std::vector<FileChoice> fileRequests;

    void pump() override;
    void message(const std::string& text) override { messages.push_back(text); }
    bool question(const std::string& text) override;
    bool cautiousQuestion(const std::string& text) override;
    DeleteAnswer confirmDelete(const std::string& caption, const std::array<std::string, 4>& lines) override;
    bool checkList(CheckListSets& sets) override;
    void report(const SyncResults& results) override { reports.push_back(results); }
    void progress(const ProgressView& view) override { progressViews.push_back(view); }
    void runningChanged(RunningState runningState) override { runningStates.push_back(runningState); }
    std::vector<std::string> chooseFiles(const FileChoice& request) override;

    // The activity texts shown, in order, without repeats of the same text in a row.
    std::vector<std::string> activities() const;

private:
    bool nextAnswer();

    std::atomic<bool>* stopFlag_ = nullptr;
    long stopAtPump_ = -1;
};

} // namespace velmora::test
