// Finding the manual beside the program and opening its pages.
#include "manual.h"

#include "shell_open.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString manualFolder() {
    // The build puts the program in bin/ and the manual in share/doc/nemarro beside it; an
    // install puts the program in lib/nemarro/ and the manual in share/doc/nemarro two up.
    const QDir program(QCoreApplication::applicationDirPath());
    for (const char* relative : {"../share/doc/nemarro", "../../share/doc/nemarro"}) {
        const QString folder = QDir::cleanPath(program.filePath(QString::fromLatin1(relative)));
        if (QFileInfo(QDir(folder).filePath(QString::fromLatin1(kManualFirstPage))).isFile())
            return folder;
    }
    return QString();
}

QUrl manualPage(const char* page) {
    const QString folder = manualFolder();
    if (folder.isEmpty())
        return QUrl();
    const QString path = QDir(folder).filePath(QString::fromLatin1(page));
    return QFileInfo(path).isFile() ? QUrl::fromLocalFile(path) : QUrl();
}

void openManualPage(const char* page, int fallbackId) {
    const QUrl local = manualPage(page);
    if (local.isEmpty())
        shellOpenString(fallbackId);
    else
        shellOpen(local);
}
