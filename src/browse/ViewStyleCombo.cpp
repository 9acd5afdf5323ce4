#include "browse/ViewStyleCombo.h"

#include "browse/FileListView.h"

#include <QComboBox>

namespace velmora::browse {
namespace {

// Combo entries in their order and the view style each stands for.
constexpr int kStyles[] = {FileListView::List, FileListView::LargeIcons, FileListView::SmallIcons,
                           FileListView::Details};

int entryOf(int style) {
    for (int entry = 0; entry < 4; ++entry)
        if (kStyles[entry] == style)
            return entry;
    return 0;
}

} // namespace

QComboBox* makeViewStyleCombo(FileListView* list, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QStringLiteral("viewCombo"));
    combo->setAccessibleName(QStringLiteral("View style"));
    combo->addItems(
        {QStringLiteral("List"), QStringLiteral("Icon"), QStringLiteral("Small"), QStringLiteral("Details")});
    combo->setCurrentIndex(entryOf(list->viewStyle()));
    QObject::connect(combo, &QComboBox::activated, list, [list](int entry) {
        if (entry >= 0 && entry < 4)
            list->setViewStyle(kStyles[entry]);
    });
    QObject::connect(list, &FileListView::viewStyleChanged, combo,
                     [combo](int style) { combo->setCurrentIndex(entryOf(style)); });
    return combo;
}

} // namespace velmora::browse
