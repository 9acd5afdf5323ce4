#pragma once

#include <QFile>
#include <QString>
#include <string>

namespace velmora::widgets {

// The program's name: the caption of every message and question box.
inline const QString kProgramName = QStringLiteral("Velmora");

// Paths are byte strings in the core; the desktop shows and edits them as the file system's
// encoding decodes them, and hands them back byte for byte.
inline QString fromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}
inline std::string toPath(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

// Texts of the core (messages, captions) are UTF-8.
inline QString fromText(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace velmora::widgets
