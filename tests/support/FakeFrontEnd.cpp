#include "support/FakeFrontEnd.h"

namespace velmora::test {

void FakeFrontEnd::pump() {
    ++pumps;
    if (stopFlag_ && pumps == stopAtPump_)
        stopFlag_->store(true);
    if (onPump)
        onPump(pumps);
}

bool FakeFrontEnd::question(const std::string& text) {
    questions.push_back(text);
    return nextAnswer();
}

bool FakeFrontEnd::cautiousQuestion(const std::string& text) {
    cautiousQuestions.push_back(text);
    return nextAnswer();
}

bool FakeFrontEnd::nextAnswer() {
    if (questionAnswers.empty())
        return true;
    bool answer = questionAnswers.front();
    questionAnswers.pop_front();
    return answer;
}

DeleteAnswer FakeFrontEnd::confirmDelete(const std::string& caption,
                                         const std::array<std::string, 4>& lines) {
    confirmations.push_back({caption, lines});
    if (deleteAnswers.empty())
        return DeleteAnswer::Yes;
    DeleteAnswer answer = deleteAnswers.front();
    deleteAnswers.pop_front();
    return answer;
}

bool FakeFrontEnd::checkList(CheckListSets& sets) {
    ++checkLists;
    return checkListAnswer ? checkListAnswer(sets) : true;
}

std::vector<std::string> FakeFrontEnd::activities() const {
    std::vector<std::string> result;
    for (const ProgressView& view : progressViews)
        if (result.empty() || result.back() != view.activity)
            result.push_back(view.activity);
    return result;
}

std::vector<std::string> FakeFrontEnd::chooseFiles(const FileChoice& request) {
    fileRequests.push_back(request);
    if (fileChoices.empty())
        return {};
    std::vector<std::string> answer = std::move(fileChoices.front());
    fileChoices.pop_front();
    return answer;
}

} // namespace velmora::test
