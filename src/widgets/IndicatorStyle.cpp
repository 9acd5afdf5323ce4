#include "widgets/IndicatorStyle.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

namespace velmora::widgets {

namespace {

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

// `share` parts of `over` on `under`.
QColor blend(const QColor& under, const QColor& over, double share) {
    return QColor::fromRgbF(static_cast<float>(under.redF() + (over.redF() - under.redF()) * share),
                            static_cast<float>(under.greenF() + (over.greenF() - under.greenF()) * share),
                            static_cast<float>(under.blueF() + (over.blueF() - under.blueF()) * share));
}

class VisibleIndicatorStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        const bool indicator = element == PE_IndicatorCheckBox || element == PE_IndicatorRadioButton;
        // The keyboard focus has an edge of its own, in the highlight colour.
        const bool focusEdge =
            option->state.testFlag(State_HasFocus) && option->state.testFlag(State_KeyboardFocusChange);
        if (!indicator || focusEdge || !isDark(option->palette))
            return;
        const QPalette& palette = option->palette;
        const bool enabled = option->state.testFlag(State_Enabled);
        const QColor edge = blend(palette.color(QPalette::Window), palette.color(QPalette::WindowText),
                                  enabled ? 0.45 : 0.25);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(edge));
        const QRect rect = option->rect;
        // The same outlines as the built-in style's, over them.
        if (element == PE_IndicatorCheckBox) {
            painter->translate(0.5, 0.5);
            painter->drawRect(rect.adjusted(0, 0, -1, -1));
        } else {
            const QPointF centre = rect.center() + QPoint(1, 1);
            const qreal radius = (rect.width() + (rect.width() + 1) % 2) / 2.0 - 1;
            QPainterPath circle;
            circle.addEllipse(centre, radius, radius);
            painter->drawPath(circle);
        }
        painter->restore();
    }
};

} // namespace

void useVisibleIndicators() {
    const QString builtIn = QStringLiteral("Fusion");
    if (QApplication::style()->name().compare(builtIn, Qt::CaseInsensitive) == 0)
        QApplication::setStyle(new VisibleIndicatorStyle(QStyleFactory::create(builtIn)));
}

} // namespace velmora::widgets
