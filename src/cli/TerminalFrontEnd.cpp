#include "cli/TerminalFrontEnd.h"

#include "app/ReportModel.h"
#include "engine/SyncResults.h"
#include "platform/Clock.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <sstream>
#include <type_traits>
#include <utility>
#include <vector>

namespace velmora::cli {

namespace {

// The sets of the check-list in the order a run carries them out, with the word for each.
template <typename Sets>
auto inExecutionOrder(Sets& sets) {
    using List =
        std::conditional_t<std::is_const_v<Sets>, const std::vector<FileItemPtr>, std::vector<FileItemPtr>>;
    return std::vector<std::pair<const char*, List*>>{{"overwrite", &sets.filesToOverwrite},
                                                      {"add", &sets.filesToAdd},
                                                      {"delete", &sets.filesToDelete},
                                                      {"delete-folder", &sets.foldersToDelete},
                                                      {"add-folder", &sets.foldersToAdd}};
}

const char* wordFor(ActionKind kind) {
    switch (kind) {
    case ActionKind::Overwrite:
        return "overwrite";
    case ActionKind::Add:
        return "add";
    case ActionKind::Delete:
        return "delete";
    case ActionKind::DeleteFolder:
        return "delete-folder";
    case ActionKind::AddFolder:
        return "add-folder";
    case ActionKind::RemoveLeftover:
        return "remove-leftover";
    }
    return "";
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// Marks the entries named by "3 5-7" (1-based); false when the text is not such a list.
bool markRanges(const std::string& text, std::vector<bool>& marked) {
    std::istringstream words(text);
    std::string word;
    bool any = false;
    while (words >> word) {
        std::size_t first = 0, last = 0, used = 0;
        try {
            first = std::stoul(word, &used);
            last = first;
            if (used < word.size()) {
                if (word[used] != '-')
                    return false;
                const std::string rest = word.substr(used + 1);
                last = std::stoul(rest, &used);
                if (used != rest.size())
                    return false;
            }
        } catch (const std::exception&) {
            return false;
        }
        if (first < 1 || last < first || last > marked.size())
            return false;
        for (std::size_t i = first; i <= last; ++i)
            marked[i - 1] = true;
        any = true;
    }
    return any;
}

} // namespace

TerminalFrontEnd::TerminalFrontEnd(TerminalStreams streams, AnswerMode mode, Clock clock)
    : streams_(streams), mode_(mode), clock_(clock ? std::move(clock) : Clock(platform::steadyMillis)),
      showProgress_(streams.errIsTerminal && !mode.quiet) {}

void TerminalFrontEnd::setStopButton(const std::atomic<int>* interrupt, std::function<void(int)> stop) {
    interrupt_ = interrupt;
    stop_ = std::move(stop);
}

void TerminalFrontEnd::pump() {
    // Called for every entry listed and every wait of a file command: two flag tests, and a
    // clock reading only when there is something new to show.
    if (interrupt_ && stop_)
        if (const int signal = interrupt_->load(std::memory_order_relaxed); signal != 0)
            stop_(signal);
    if (!dirty_)
        return;
    const std::uint64_t now = clock_();
    if (now - lastDraw_ >= kRedrawMillis) {
        lastDraw_ = now;
        draw();
    }
}

void TerminalFrontEnd::progress(const ProgressView& view) {
    if (!showProgress_)
        return;
    view_ = view;
    dirty_ = true;
    pump();
}

void TerminalFrontEnd::runningChanged(RunningState runningState) {
    if (runningState == RunningState::Idle)
        clearProgress();
}

void TerminalFrontEnd::draw() {
    dirty_ = false;
    std::string line = view_.phase;
    if (!view_.percentText.empty())
        line += "  " + view_.percentText + "%";
    if (!view_.timeText.empty())
        line += "  " + view_.timeText + " left";
    if (!view_.activity.empty()) {
        if (!line.empty())
            line += "  ";
        // Keep the end of a long path: the name is what tells the user where the run is.
        const std::size_t room = static_cast<std::size_t>(std::max(streams_.width - 1, 20)) -
                                 std::min<std::size_t>(line.size(), 60);
        if (view_.activity.size() > room)
            line += "..." + view_.activity.substr(view_.activity.size() - (room - 3));
        else
            line += view_.activity;
    }
    if (line.size() >= static_cast<std::size_t>(std::max(streams_.width, 21)))
        line.resize(static_cast<std::size_t>(std::max(streams_.width, 21) - 1));
    streams_.err << '\r' << line << "\x1b[K" << std::flush;
    drawn_ = true;
}

void TerminalFrontEnd::clearProgress() {
    dirty_ = false;
    if (!drawn_)
        return;
    streams_.err << "\r\x1b[K" << std::flush;
    drawn_ = false;
}

void TerminalFrontEnd::message(const std::string& text) {
    clearProgress();
    streams_.err << "velmora-cli: " << text << '\n' << std::flush;
}

void TerminalFrontEnd::refuse(const std::string& what) {
    clearProgress();
    refused_ = true;
    streams_.err
        << "velmora-cli: " << what
        << "\nThere is no terminal to ask on: cancelled. Use --yes to answer Yes to every question.\n"
        << std::flush;
}

bool TerminalFrontEnd::takeRefusal() {
    return std::exchange(refused_, false);
}

bool TerminalFrontEnd::readAnswer(const std::string& prompt, std::string& answer) {
    clearProgress();
    streams_.err << prompt << std::flush;
    if (!std::getline(streams_.in, answer)) {
        streams_.err << '\n';
        return false;
    }
    answer = trimmed(answer);
    return true;
}

bool TerminalFrontEnd::question(const std::string& text) {
    if (mode_.yes)
        return true;
    if (!canAsk()) {
        // A question is never refused by cancelling: No is the answer that changes nothing.
        message(text + "\n(answered No: there is no terminal to ask on; --yes answers Yes)");
        return false;
    }
    std::string answer;
    while (readAnswer(text + " [y/n] ", answer)) {
        if (answer == "y" || answer == "Y" || answer == "yes")
            return true;
        if (answer == "n" || answer == "N" || answer == "no")
            return false;
    }
    return false;
}

bool TerminalFrontEnd::cautiousQuestion(const std::string& text) {
    // The command line refuses what this asks about before it would come to the question; should
    // one come, only a typed yes says Yes: --yes does not.
    if (!canAsk()) {
        message(text + "\n(answered No: there is no terminal to ask on)");
        return false;
    }
    std::string answer;
    return readAnswer(text + " [y/N] ", answer) && (answer == "y" || answer == "Y" || answer == "yes");
}

DeleteAnswer TerminalFrontEnd::confirmDelete(const std::string& caption,
                                             const std::array<std::string, 4>& lines) {
    if (mode_.yes || mode_.dryRun)
        return DeleteAnswer::YesToAll;
    std::string text = caption + ":";
    for (const std::string& line : lines)
        if (!line.empty())
            text += (text.back() == ':' ? " " : "") + line;
    if (!canAsk()) {
        refuse(text);
        return DeleteAnswer::Cancel;
    }
    std::string answer;
    while (readAnswer(text + "\n  [y]es, yes to [a]ll, [n]o, [s]kip all, [c]ancel? ", answer)) {
        if (answer == "y" || answer == "yes")
            return DeleteAnswer::Yes;
        if (answer == "a")
            return DeleteAnswer::YesToAll;
        if (answer == "n" || answer == "no")
            return DeleteAnswer::No;
        if (answer == "s")
            return DeleteAnswer::NoToAll;
        if (answer == "c")
            return DeleteAnswer::Cancel;
    }
    return DeleteAnswer::Cancel;
}

std::string TerminalFrontEnd::escaped(const std::string& path) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\')
            text += "\\\\";
        else if (c == '\n')
            text += "\\n";
        else if (c == '\t')
            text += "\\t";
        else if (c == '\r')
            text += "\\r";
        else if (byte < 0x20 || byte == 0x7f)
            text.append("\\x").append(1, kHex[byte >> 4]).append(1, kHex[byte & 15]);
        else
            text += c;
    }
    return text;
}

std::string TerminalFrontEnd::planText(const CheckListSets& sets) {
    std::string text;
    for (const auto& [word, items] : inExecutionOrder(sets))
        for (const FileItemPtr& item : *items)
            text.append(word).append("\t").append(escaped(item->fullPath())).append("\n");
    return text;
}

std::string TerminalFrontEnd::planSummary(const CheckListSets& sets) {
    std::string text;
    for (const auto& [word, items] : inExecutionOrder(sets))
        if (!items->empty())
            text.append(text.empty() ? "" : ", ")
                .append(std::to_string(items->size()))
                .append(" ")
                .append(word);
    return "Plan: " + (text.empty() ? std::string("nothing to do") : text) + "\n";
}

void TerminalFrontEnd::showPlan(const CheckListSets& sets) {
    clearProgress();
    streams_.out << planText(sets) << std::flush;
    if (!mode_.quiet)
        streams_.err << planSummary(sets) << std::flush;
}

bool TerminalFrontEnd::checkList(CheckListSets& sets) {
    const auto order = inExecutionOrder(sets);
    std::size_t count = 0;
    for (const auto& [word, items] : order)
        count += items->size();
    if (mode_.yes || count == 0)
        return true;
    if (!canAsk()) {
        refuse("The list of actions must be checked before anything is changed.");
        return false;
    }

    for (;;) {
        clearProgress();
        streams_.err << "Planned actions:\n";
        std::size_t number = 0;
        for (const auto& [word, items] : order)
            for (const FileItemPtr& item : *items)
                streams_.err << "  " << ++number << "\t" << word << "\t" << escaped(item->fullPath()) << '\n';
        std::string answer;
        if (!readAnswer("Go ahead? [y]es, [c]ancel, or the numbers to leave out (e.g. 2 5-7): ", answer))
            return false;
        if (answer == "y" || answer == "yes")
            return true;
        if (answer == "c" || answer == "n" || answer == "no")
            return false;
        std::vector<bool> marked(number, false);
        if (!markRanges(answer, marked)) {
            streams_.err << "Not understood: " << answer << '\n';
            continue;
        }
        std::size_t index = 0;
        for (const auto& [word, items] : order) {
            std::vector<FileItemPtr> kept;
            for (const FileItemPtr& item : *items)
                if (!marked[index++])
                    kept.push_back(item);
            items->swap(kept);
        }
        if (number == static_cast<std::size_t>(std::count(marked.begin(), marked.end(), true)))
            streams_.err << "Every action was left out.\n";
    }
}

void TerminalFrontEnd::report(const SyncResults& results) {
    clearProgress();
    // The summary is output (stdout, also for a failed run); problems are errors (stderr, also
    // with --quiet).
    if (!mode_.quiet) {
        std::ostringstream text;
        text << results.lastHeadline;
        if (results.lastHeadline.empty() || results.lastHeadline.back() != '\n')
            text << '\n';
        text << "Synchronisation source: " << results.lastSource << '\n'
             << "Synchronisation target: " << results.lastTarget << '\n';
        for (const ReportCount& count : reportCounts(results.counts))
            text << count.label << ": " << count.value << '\n';
        // Standard output closed under us (a reader that went away, a terminal closed): what the
        // run did still reaches whoever holds standard error.
        if (!(streams_.out << text.str() << std::flush)) {
            streams_.out.clear();
            streams_.err << text.str() << std::flush;
        }
    }
    if (!results.problems.empty()) {
        streams_.err << "Some problems were encountered:\n";
        for (const std::string& line : results.problems)
            streams_.err << "  " << line << '\n';
        streams_.err << std::flush;
    }
    hintAtReadOnly(results);
}

void TerminalFrontEnd::actionDone(ActionKind kind, const FileItem& target, bool failed) {
    if (!mode_.verbose)
        return;
    clearProgress();
    streams_.out << wordFor(kind) << '\t' << escaped(target.fullPath()) << (failed ? "\tFAILED\n" : "\n")
                 << std::flush;
}

void TerminalFrontEnd::setReadOnlyHint(std::function<bool(const std::string&)> isReadOnly, std::string hint) {
    isReadOnly_ = std::move(isReadOnly);
    readOnlyHint_ = std::move(hint);
}

void TerminalFrontEnd::hintAtReadOnly(const SyncResults& results) {
    if (!isReadOnly_)
        return;
    for (const ItemSet* failed : {&results.failedOverwritten, &results.failedDeleted})
        for (const FileItemPtr& item : *failed)
            if (isReadOnly_(item->fullPath())) {
                streams_.err << "velmora-cli: " << readOnlyHint_ << '\n' << std::flush;
                return;
            }
}

} // namespace velmora::cli
