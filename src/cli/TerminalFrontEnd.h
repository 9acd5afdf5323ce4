#pragma once

#include "engine/FrontEndPort.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

namespace velmora::cli {

// The standard streams of the command line and what they are connected to.
struct TerminalStreams {
    std::istream& in;
    std::ostream& out; // the report and the dry-run plan
    std::ostream& err; // messages, questions, progress
    bool inIsTerminal = false;
    bool errIsTerminal = false;
    int width = 80; // columns of the terminal on err
};

// How the front end answers for the person at the terminal.
struct AnswerMode {
    bool yes = false;     // Yes to every question and confirmation, OK to the check-list
    bool dryRun = false;  // only planned: the report goes to stderr, stdout keeps the plan
    bool quiet = false;   // no progress line and no summary; problems are still shown
    bool verbose = false; // one line per action carried out
};

// The front end of the command line: questions on the terminal (refused when there is none
// and --yes was not given), progress redrawn in place on stderr, the report on stdout.
class TerminalFrontEnd : public FrontEndPort {
public:
    using Clock = std::function<std::uint64_t()>; // milliseconds

    // The progress line is redrawn at most this often.
    static constexpr std::uint64_t kRedrawMillis = 100;

    TerminalFrontEnd(TerminalStreams streams, AnswerMode mode, Clock clock = {});

    void pump() override;
    void message(const std::string& text) override;
    bool question(const std::string& text) override;
    bool cautiousQuestion(const std::string& text) override;
    DeleteAnswer confirmDelete(const std::string& caption, const std::array<std::string, 4>& lines) override;
    bool checkList(CheckListSets& sets) override;
    void report(const SyncResults& results) override;
    void progress(const ProgressView& view) override;
    void runningChanged(RunningState runningState) override;
    void actionDone(ActionKind kind, const FileItem& target, bool failed) override;

    // Tells whether a target file is read-only, and the hint to show once per run when such a
    // file could not be overwritten or deleted.
    void setReadOnlyHint(std::function<bool(const std::string&)> isReadOnly, std::string hint);

    // A stop signal sets `interrupt` to its number; the next pump then calls `stop` (the Stop
    // button), and keeps calling it while the flag stays raised, so a batch ends after the run it
    // stopped.
    void setStopButton(const std::atomic<int>* interrupt, std::function<void(int signal)> stop);

    // Whether a question was refused for want of a terminal since the last call.
    bool takeRefusal();
    // Removes the progress line, so that the next output starts on a clean line.
    void clearProgress();

    // The plan lines of a dry run: a word, a tab and the target path, in execution order.
    static std::string planText(const CheckListSets& sets);
    // The closing line of a dry run: how many actions of each kind, or that there is nothing to do.
    static std::string planSummary(const CheckListSets& sets);
    // A path on one line: new line, tab, backslash and the other control characters escaped.
    static std::string escaped(const std::string& path);
    // A dry run's plan, on stdout where scripts read it.
    void showPlan(const CheckListSets& sets);

private:
    bool canAsk() const { return streams_.inIsTerminal; }
    void refuse(const std::string& what);
    // One line typed at the terminal; false at end of input.
    bool readAnswer(const std::string& prompt, std::string& answer);
    void draw();
    void hintAtReadOnly(const SyncResults& results);

    TerminalStreams streams_;
    AnswerMode mode_;
    Clock clock_;
    bool showProgress_;
    ProgressView view_;
    bool dirty_ = false;
    bool drawn_ = false;
    std::uint64_t lastDraw_ = 0;
    bool refused_ = false;
    const std::atomic<int>* interrupt_ = nullptr;
    std::function<void(int)> stop_;
    std::function<bool(const std::string&)> isReadOnly_;
    std::string readOnlyHint_;
};

} // namespace velmora::cli
