#pragma once

#include <QDialog>
#include <string>

namespace velmora::platform {
class FileSystem;
}

namespace velmora::browse {

// What the tree's "Properties" shows of a path: where it is, its type, its size (for a folder the
// total of the files directly in it and their count), when it was modified, owner and permissions.
class PropertiesDlg : public QDialog {
    Q_OBJECT

public:
    PropertiesDlg(const std::string& path, platform::FileSystem& fileSystem, QWidget* parent = nullptr);
};

} // namespace velmora::browse
