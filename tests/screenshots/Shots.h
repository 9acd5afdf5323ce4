#pragma once

#include <QDir>
#include <QString>
#include <QWidget>
#include <iostream>

// Where the pictures go and how they are named: NAME-SUFFIX.png in the output folder.
struct Shots {
    QString folder, suffix;
    int saved = 0;

    void save(QWidget& widget, const QString& name) {
        const QString path = QDir(folder).filePath(name + QLatin1Char('-') + suffix + QStringLiteral(".png"));
        if (widget.grab().save(path))
            ++saved;
        else
            std::cerr << "could not write " << path.toStdString() << '\n';
    }
};

// The dialogs, each filled with an example, shown and grabbed.
void dialogWindows(Shots& shots);
