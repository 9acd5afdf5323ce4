#pragma once

#include "items/FileItem.h"

#include <QAbstractTableModel>
#include <QSize>
#include <vector>

namespace velmora::browse {

// The rows of a file list: one per item, columns "Name", "Bytes" and "Modified". Rows are drawn
// on demand, so a folder of a hundred thousand entries costs one vector, not a hundred thousand
// widgets.
class FileListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    FileListModel(bool showActions, QObject* parent = nullptr);

    void setItems(std::vector<FileItemPtr> items);
    const std::vector<FileItemPtr>& items() const { return items_; }
    const FileItemPtr& item(int row) const { return items_[static_cast<std::size_t>(row)]; }
    void setDayMonthYear(bool on) { dayMonthYear_ = on; }
    void setEditable(bool on) { editable_ = on; }
    // The size of every name cell in the icon and list styles (invalid: the view's own measure).
    // The views take one row's size for all, so it must fit the longest name.
    void setNameCellSize(QSize size);
    // Every row's icon again, after states changed.
    void refreshIcons();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The list never takes an edited name itself: it asks for the rename, which relists.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

Q_SIGNALS:
    void renameRequested(int row, const QString& newName);

private:
    std::vector<FileItemPtr> items_;
    bool showActions_;
    bool dayMonthYear_ = true;
    bool editable_ = false;
    QSize nameCellSize_;
};

} // namespace velmora::browse
