#include "browse/FileListModel.h"

#include "app/BrowseRules.h"
#include "browse/BrowseIcons.h"
#include "widgets/Text.h"

namespace velmora::browse {

FileListModel::FileListModel(bool showActions, QObject* parent)
    : QAbstractTableModel(parent), showActions_(showActions) {}

void FileListModel::setItems(std::vector<FileItemPtr> items) {
    beginResetModel();
    items_ = std::move(items);
    endResetModel();
}

void FileListModel::setNameCellSize(QSize size) {
    if (size == nameCellSize_)
        return;
    nameCellSize_ = size;
    if (!items_.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::SizeHintRole});
}

void FileListModel::refreshIcons() {
    if (!items_.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const FileItem& entry = *item(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (index.column() == 0)
            return widgets::fromPath(entry.name);
        if (index.column() == 1)
            return QString::fromStdString(sizeColumnText(entry));
        return QString::fromStdString(modifiedColumnText(entry, dayMonthYear_));
    case Qt::DecorationRole:
        return index.column() == 0 ? QVariant(itemIcon(entry, showActions_)) : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == 1 ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case Qt::AccessibleTextRole:
        return widgets::fromPath(entry.name);
    case Qt::SizeHintRole:
        return index.column() == 0 && nameCellSize_.isValid() ? QVariant(nameCellSize_) : QVariant();
    default:
        return {};
    }
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const kTitles[] = {"Name", "Bytes", "Modified"};
    return section >= 0 && section < 3 ? QString::fromLatin1(kTitles[section]) : QVariant();
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (editable_ && index.column() == 0)
        result |= Qt::ItemIsEditable;
    return result;
}

bool FileListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role == Qt::EditRole && index.column() == 0 && index.row() < rowCount()) {
        const QString text = value.toString();
        if (!text.isEmpty() && text != widgets::fromPath(item(index.row())->name))
            Q_EMIT renameRequested(index.row(), text);
    }
    return false;
}

} // namespace velmora::browse
