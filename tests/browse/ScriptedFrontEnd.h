#pragma once

#include "engine/FrontEndPort.h"

#include <deque>
#include <string>
#include <vector>

namespace velmora::test {

// Answers the browsing controls' questions from queues (Yes when empty) and keeps the messages.
class ScriptedFrontEnd : public FrontEndPort {
public:
    std::deque<bool> answers;
    std::deque<DeleteAnswer> deleteAnswers;
    std::vector<std::string> messages, questions, captions;

    void pump() override {}
    void message(const std::string& text) override { messages.push_back(text); }
    bool question(const std::string& text) override {
        questions.push_back(text);
        return take(answers, true);
    }
    bool cautiousQuestion(const std::string& text) override { return question(text); }
    DeleteAnswer confirmDelete(const std::string& caption, const std::array<std::string, 4>&) override {
        captions.push_back(caption);
        return take(deleteAnswers, DeleteAnswer::Yes);
    }
    bool checkList(CheckListSets&) override { return true; }
    void report(const SyncResults&) override {}
    void progress(const ProgressView&) override {}
    void runningChanged(RunningState) override {}

private:
    template <typename T>
    static T take(std::deque<T>& queue, T fallback) {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

} // namespace velmora::test
