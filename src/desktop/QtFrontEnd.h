#pragma once

#include "engine/FrontEndPort.h"

#include <QString>
#include <chrono>
#include <functional>
#include <optional>

class QWidget;

namespace velmora::desktop {

// What a run shows in the window while it goes on.
class RunDisplay {
public:
    virtual ~RunDisplay() = default;
    virtual void showProgress(const ProgressView& view) = 0;
    // Silent mode: the report closes itself.
    virtual bool silentNow() const = 0;
};

// The desktop's answers to the engine and the controller: dialogs over the window, and the
// window's progress display. Runs stay on the user-interface thread; the pump keeps the window
// (and its Stop button) live.
class QtFrontEnd final : public FrontEndPort {
public:
    QtFrontEnd(QWidget& window, RunDisplay& display);

    // Processes the waiting events at most once every kPumpInterval; otherwise only reads the
    // clock, so that the engine may call it for every folder entry at no measurable cost.
    void pump() override;
    void message(const std::string& text) override;
    bool question(const std::string& text) override;
    bool cautiousQuestion(const std::string& text) override;
    DeleteAnswer confirmDelete(const std::string& caption, const std::array<std::string, 4>& lines) override;
    bool checkList(CheckListSets& sets) override;
    void report(const SyncResults& results) override;
    void progress(const ProgressView& view) override;
    void runningChanged(RunningState runningState) override;
    std::vector<std::string> chooseFiles(const FileChoice& request) override;

    // The folder dialog the window uses (title, start folder; nothing when cancelled).
    using FolderChooser = std::function<std::optional<QString>(const QString& title, const QString& start)>;
    void setFolderChooser(FolderChooser chooser) { chooseFolder_ = std::move(chooser); }

    // Shows the progress that waits for the next pump.
    void showPendingProgress();

    // Short enough that Stop and a repaint are seen at once, long enough that a run with many
    // small files spends next to nothing in the event loop.
    static constexpr std::chrono::milliseconds kPumpInterval{5};
    // Laying out the activity text for every file would cost more than the run itself; the eye
    // needs no more than this.
    static constexpr std::chrono::milliseconds kProgressInterval{50};

private:
    QWidget& window_;
    RunDisplay& display_;
    std::chrono::steady_clock::time_point lastPump_{};
    FolderChooser chooseFolder_;
    std::chrono::steady_clock::time_point lastProgress_{};
    ProgressView pendingProgress_;
    bool progressPending_ = false;
};

} // namespace velmora::desktop
