#include "widgets/ActionIcons.h"

#include "items/FileItem.h"
#include "widgets/PaintedIconEngine.h"

#include <QIconEngine>
#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <map>
#include <tuple>
#include <vector>

// The resources live in this static library; without the explicit call the linker may drop them.
static void initIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace velmora::widgets {
namespace {

// One picture of an icon and the part of the icon's square it covers (fractions of its side).
struct Layer {
    QString smallSource; // drawn on the 16-pixel grid
    QString largeSource; // drawn on the 32-pixel grid; empty: the small one at every size
    QRectF area;
};

// Paints its layers at whatever size and pixel ratio it is asked for.
class LayeredIconEngine : public PaintedIconEngine {
public:
    explicit LayeredIconEngine(std::vector<Layer> layers) : layers_(std::move(layers)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
        const bool large = qMin(rect.width(), rect.height()) * ratio >= 32;
        painter->save();
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.4);
        for (const Layer& layer : layers_) {
            const QString& source =
                large && !layer.largeSource.isEmpty() ? layer.largeSource : layer.smallSource;
            QSvgRenderer renderer(source);
            const QRectF area(rect.x() + layer.area.x() * rect.width(),
                              rect.y() + layer.area.y() * rect.height(), layer.area.width() * rect.width(),
                              layer.area.height() * rect.height());
            renderer.render(painter, area);
        }
        painter->restore();
    }

    QIconEngine* clone() const override { return new LayeredIconEngine(layers_); }

private:
    std::vector<Layer> layers_;
};

QString resource(const char* name) {
    return QStringLiteral(":/icons/") + QLatin1String(name) + QStringLiteral(".svg");
}

QIcon layered(std::vector<Layer> layers) {
    initIconResources();
    return QIcon(new LayeredIconEngine(std::move(layers)));
}

const char* badgeFor(std::int32_t state) {
    switch (state) {
    case kExcluded:
        return "badge-excluded";
    case kOverwrite:
        return "badge-overwrite";
    case kAdd:
        return "badge-add";
    case kDelete:
        return "badge-delete";
    default:
        return nullptr;
    }
}

} // namespace

QIcon actionIcon(ItemKind kind, ItemState state, bool failed) {
    static std::map<std::tuple<bool, std::int32_t, bool>, QIcon> made;
    const bool folder = kind == kFolder;
    QIcon& icon = made[{folder, state, failed}];
    if (icon.isNull()) {
        std::vector<Layer> layers{{resource(folder ? "folder-16" : "file-16"),
                                   resource(folder ? "folder-32" : "file-32"), QRectF(0, 0, 1, 1)}};
        // The action sits in the lower right corner, the failure mark in the lower left, so both
        // stay readable together.
        if (const char* badge = badgeFor(state))
            layers.push_back({resource(badge), {}, QRectF(0.5, 0.5, 0.5, 0.5)});
        if (failed)
            layers.push_back({resource("badge-failed"), {}, QRectF(0, 0.5, 0.5, 0.5)});
        icon = layered(std::move(layers));
    }
    return icon;
}

QIcon actionIcon(const FileItem& item) {
    return actionIcon(item.kind, item.state, item.failed);
}

QIcon programIcon() {
    static const QIcon icon = layered({{resource("velmora"), {}, QRectF(0, 0, 1, 1)}});
    return icon;
}

QIcon directionIcon(bool oneToTwo, ArrowStyle style) {
    const bool large = style == ArrowStyle::Large;
    const char* name = oneToTwo ? (large ? "arrow-right-large" : "arrow-right-small")
                                : (large ? "arrow-left-large" : "arrow-left-small");
    return layered({{resource(name), {}, QRectF(0, 0, 1, 1)}});
}

} // namespace velmora::widgets
