#pragma once

#include <QWidget>

namespace velmora::desktop {

// Marks the direction (or the batch) that is running with the style's group-box frame. The frame
// takes the same room whether drawn or not, so the window keeps its size as runs start and end.
class RunningFrame : public QWidget {
    Q_OBJECT

public:
    explicit RunningFrame(QWidget* parent = nullptr);

    void setRunning(bool running);
    bool running() const { return running_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool running_ = false;
};

} // namespace velmora::desktop
