#pragma once

// The main window over settings and folders of its own in one temporary folder, shown and driven
// as a person drives it.
#include "desktop/MainWindow.h"
#include "platform/PosixFileSystem.h"
#include "profiles/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>

namespace velmora::desktop {

// A control of a dialog by its object name; a missing one ends the test.
template <typename T = QPushButton>
T* find(QWidget& window, const char* name) {
    T* control = window.findChild<T*>(QLatin1String(name));
    if (control == nullptr)
        qFatal("no control %s", name);
    return control;
}

struct WindowRig {
    QTemporaryDir folder;
    platform::PosixFileSystem fileSystem;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<MainWindow> window;

    WindowRig() {
        settings = std::make_unique<SettingsStore>(path("settings.conf").toStdString());
        window = std::make_unique<MainWindow>(fileSystem, *settings);
    }
    QString path(const QString& relative) const { return QDir(folder.path()).filePath(relative); }
    QString path(const char* relative) const { return path(QString::fromLatin1(relative)); }
    void write(const QString& relative, const QByteArray& bytes) const {
        QDir(folder.path()).mkpath(QFileInfo(path(relative)).path());
        QFile file(path(relative));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(relative));
        file.write(bytes);
    }
    // A profile "NAME.vmp" from "NAME/one/" (holding a file) to "NAME/two/", with the extra lines.
    std::string profile(const QString& name, const QByteArray& lines = {}) const {
        QDir(folder.path()).mkpath(name + QStringLiteral("/two"));
        write(name + QStringLiteral("/one/f.txt"), "data");
        write(name + QStringLiteral(".vmp"),
              "velmora_version=1.09\r\nlocation1=" + path(name + QStringLiteral("/one/")).toUtf8() +
                  "\r\nlocation2=" + path(name + QStringLiteral("/two/")).toUtf8() + "\r\n" + lines);
        return path(name + QStringLiteral(".vmp")).toStdString();
    }
    // Opens the window on `file` and waits until it can take keys.
    void show(const std::string& file = "") {
        window->startUp(file);
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("the window never became active");
    }
    template <typename T = QWidget>
    T* control(const char* name) const {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr)
            qFatal("no control %s", name);
        return found;
    }
};

} // namespace velmora::desktop
