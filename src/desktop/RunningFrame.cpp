#include "desktop/RunningFrame.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace velmora::desktop {

RunningFrame::RunningFrame(QWidget* parent) : QWidget(parent) {}

void RunningFrame::setRunning(bool running) {
    if (running == running_)
        return;
    running_ = running;
    update();
}

void RunningFrame::paintEvent(QPaintEvent* /*event*/) {
    if (!running_)
        return;
    QStyleOptionFrame option;
    option.initFrom(this);
    option.rect = rect();
    option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    option.midLineWidth = 0;
    option.frameShape = QFrame::StyledPanel;
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_FrameGroupBox, &option, &painter, this);
}

} // namespace velmora::desktop
