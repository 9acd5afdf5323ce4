#include "widgets/Tooltips.h"

#include <QWidget>

namespace velmora::widgets {

namespace {
// Only the user-interface thread opens windows, so a plain flag does.
bool shown = true;
} // namespace

void setTooltipsShown(bool show) {
    shown = show;
}

bool tooltipsShown() {
    return shown;
}

void applyTooltips(QWidget* root, const TooltipTable& table) {
    applyTooltips(root, table, shown);
}

void applyTooltips(QWidget* root, const TooltipTable& table, bool show) {
    for (const auto& [name, text] : table) {
        const QString objectName = QString::fromLatin1(name);
        QWidget* control = root->objectName() == objectName ? root : root->findChild<QWidget*>(objectName);
        if (control)
            control->setToolTip(show ? QString::fromUtf8(text) : QString());
    }
}

} // namespace velmora::widgets
