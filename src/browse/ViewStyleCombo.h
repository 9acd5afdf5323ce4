#pragma once

class QComboBox;
class QWidget;

namespace velmora::browse {

class FileListView;

// The "Browse Files" dialogs' view combo: "List", "Icon", "Small", "Details", setting the list's
// style and following it.
QComboBox* makeViewStyleCombo(FileListView* list, QWidget* parent);

} // namespace velmora::browse
