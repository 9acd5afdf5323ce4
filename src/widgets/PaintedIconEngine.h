#pragma once

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

namespace velmora::widgets {

// An icon drawn by its paint() at whatever size and scale the view asks for, so that it stays sharp.
class PaintedIconEngine : public QIconEngine {
public:
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // Qt asks in device pixels; the picture is painted in its own logical size at that ratio.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        QPixmap picture(size);
        picture.setDevicePixelRatio(scale);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        paint(&painter, QRect(QPoint(0, 0), (QSizeF(size) / scale).toSize()), mode, state);
        return picture;
    }
};

} // namespace velmora::widgets
