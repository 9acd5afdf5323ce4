#include "browse/PropertiesDlg.h"

#include "items/NumberText.h"
#include "platform/FileSystem.h"
#include "widgets/Text.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace velmora::browse {
namespace {

QString permissionText(std::uint32_t mode) {
    QString text;
    for (int shift = 6; shift >= 0; shift -= 3) {
        text += (mode >> (shift + 2)) & 1 ? QLatin1Char('r') : QLatin1Char('-');
        text += (mode >> (shift + 1)) & 1 ? QLatin1Char('w') : QLatin1Char('-');
        text += (mode >> shift) & 1 ? QLatin1Char('x') : QLatin1Char('-');
    }
    return text + QStringLiteral("  (%1)").arg(mode & 07777, 4, 8, QLatin1Char('0'));
}

QLabel* selectable(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

} // namespace

PropertiesDlg::PropertiesDlg(const std::string& path, platform::FileSystem& fileSystem, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("propertiesDialog"));
    const QString shown = widgets::fromPath(path);
    const QFileInfo info(shown);
    setWindowTitle(
        QStringLiteral("Properties of %1").arg(info.fileName().isEmpty() ? shown : info.fileName()));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout();
    layout->addLayout(form);
    platform::FileAttributes attributes;
    const bool readable = fileSystem.getAttributes(path, attributes) == 0;
    form->addRow(QStringLiteral("Path:"), selectable(shown, this));
    QString type = QStringLiteral("Unknown");
    if (readable)
        type = attributes.isLink        ? QStringLiteral("Link")
               : attributes.isDirectory ? QStringLiteral("Folder")
                                        : QStringLiteral("File");
    form->addRow(QStringLiteral("Type:"), selectable(type, this));
    if (readable && attributes.isDirectory) {
        std::uint64_t bytes = 0, count = 0;
        const int error = fileSystem.listFolder(path, [&](const platform::DirEntry& entry) {
            bytes += entry.size;
            ++count;
            return true;
        });
        form->addRow(QStringLiteral("Size:"),
                     selectable(error ? QStringLiteral("Cannot be read")
                                      : QStringLiteral("%1 bytes in %2 items")
                                            .arg(QString::fromStdString(thousandsText(bytes)),
                                                 QString::fromStdString(thousandsText(count))),
                                this));
    } else if (readable) {
        form->addRow(
            QStringLiteral("Size:"),
            selectable(QStringLiteral("%1 bytes").arg(QString::fromStdString(thousandsText(attributes.size))),
                       this));
    }
    form->addRow(QStringLiteral("Modified:"),
                 selectable(QLocale().toString(info.lastModified(), QLocale::LongFormat), this));
    form->addRow(QStringLiteral("Owner:"), selectable(info.owner() + QLatin1Char(':') + info.group(), this));
    if (readable)
        form->addRow(QStringLiteral("Permissions:"), selectable(permissionText(attributes.mode), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace velmora::browse
