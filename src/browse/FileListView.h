#pragma once

#include "app/BrowseRules.h"
#include "items/FileItem.h"

#include <QTimer>
#include <QWidget>
#include <optional>
#include <vector>

class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QStackedWidget;
class QTreeView;

namespace velmora {
class ErrorReporter;
class SettingsStore;
} // namespace velmora

namespace velmora::browse {

class FileListModel;

// The list of one folder's items (the file list of the "Browse Files" dialogs) in one of four
// view styles: 0 large icons, 1 details with columns, 2 small icons, 3 list. The style is kept in
// the setting "BrowseStyle", so every list opens in the style last chosen. The host's selection
// list always holds exactly the selected items, in row order. What a double click, Delete and a
// label edit do belongs to the subclass.
class FileListView : public QWidget {
    Q_OBJECT

public:
    enum ViewStyle { LargeIcons = 0, Details = 1, SmallIcons = 2, List = 3 };

    FileListView(std::vector<FileItemPtr>& hostSelection, bool showActions, QWidget* parent = nullptr);
    ~FileListView() override;

    // The road for messages (a box when none) and where the style is kept; then reads the style.
    // Without a store of its own the list keeps its style in the program's settings; without a
    // date order it takes the one those settings hold.
    void initList(ErrorReporter* reporter, SettingsStore* settings, std::optional<bool> dayMonthYear = {});
    // The program's settings, for lists opened where no store is at hand (the action browser).
    static void setProgramSettings(SettingsStore* settings);
    static SettingsStore* programSettings();

    void setViewStyle(int style);
    int viewStyle() const { return style_; }

    // Fills the rows from the items (the host selection empties), in the process-wide order.
    void showItems(std::vector<FileItemPtr> items);
    const std::vector<FileItemPtr>& items() const;
    void refreshIcons();
    const FileItemPtr& currentFolder() const { return currentFolder_; }
    bool editSelectedLabel();
    // Lets F2 and a slow second click edit a name (lists that can rename their entries).
    void setRenamable(bool on);
    // Rebuilds the host selection from the selected rows.
    void takeSelection();
    // Selects the rows of these items (by identity).
    void selectItems(const std::vector<FileItemPtr>& items);

    // The sort key and direction every list of the process shares.
    static ListingOrder& order();

    QAbstractItemView* currentView() const;

    // The overridable operations.
    virtual void changeIntoFolder(const FileItemPtr& folder);
    virtual void deleteSelected();
    virtual void renameItem(const FileItem& renamed, int row);
    virtual void reload();
    virtual bool canGoUp() const { return false; }
    virtual void upOneFolder() {}
    // The right-click menu at a screen position (lists without one show nothing).
    virtual void showContextMenu(const QPoint& /*position*/) {}

Q_SIGNALS:
    void listChanged();
    void selectionChanged();
    void viewStyleChanged(int style);
    void statusMessage(const QString& text);
    // The list now shows another folder.
    void folderChanged();
    // An entry was renamed on disk (old and new item).
    void entryRenamed(const FileItemPtr& before, const FileItemPtr& after);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void report(const char* context, const std::string& message, bool withReason = false);
    void setCurrentFolder(FileItemPtr folder) { currentFolder_ = std::move(folder); }
    ErrorReporter* reporter() const { return reporter_; }
    const std::vector<FileItemPtr>& hostSelection() const { return hostSelection_; }
    bool dayMonthYear() const { return dayMonthYear_; }

private:
    void onDoubleClick(const QModelIndex& index);
    void onHeaderClicked(int column);
    void applyOrder();
    // Sizes the cells of the icon and list styles to the longest name, within the list's width.
    void fitNameCells();

    std::vector<FileItemPtr>& hostSelection_;
    FileListModel* model_;
    QStackedWidget* stack_;
    QListView* listView_;
    QTreeView* detailsView_;
    QItemSelectionModel* selection_;
    QTimer keyTimer_;
    FileItemPtr currentFolder_ = std::make_shared<FileItem>();
    ErrorReporter* reporter_ = nullptr;
    SettingsStore* settings_ = nullptr;
    bool dayMonthYear_ = true;
    bool quiet_ = false;
    int style_ = List;
    int longestName_ = -1; // pixels; -1 until the listing is measured
};

} // namespace velmora::browse
