// The small files that the start-up reads and writes, and the folder that holds them.
#include "startup_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cinttypes>
#include <cstdio>
#include <cstring>

QString installDateFile;
QString installMarkerFile;
QString versionFile;
QString startupFilesFolder;
char installTime[kInstallTimeSize];

namespace {

// QFileInfo::exists answers false for a link that leads nowhere; writing through
// such a link would create a file elsewhere, so it counts as existing.
bool somethingAt(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// At a first start the surest answer: a file is created under a unique name,
// exclusively, and removed at once.
bool canCreateFileIn(const QString& folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        return false;
    }
    QTemporaryFile probe(folder + QStringLiteral("/.nemarro-write-test-XXXXXX"));
    return probe.open();
}

} // namespace

void composeStartupFiles(const QString& folder) {
    startupFilesFolder = folder;
    installDateFile = folder + QStringLiteral("/install.date");
    installMarkerFile = folder + QStringLiteral("/install");
    versionFile = folder + QStringLiteral("/version");
}

QString chooseStartupFilesFolder(const QString& moduleFolder) {
    // A later start finds "install.date" where the first one wrote it and creates nothing
    // to find out more: the access check asks the system, which knows about root,
    // read-only mounts and access lists. (A folder that holds it but that this user may
    // not write, as after a first start by root, is passed over.)
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString dataFolder = dataHome.isEmpty() ? QString() : dataHome + QStringLiteral("/nemarro");
    for (const QString& folder : {moduleFolder, dataFolder}) {
        if (!folder.isEmpty() && somethingAt(folder + QStringLiteral("/install.date")) &&
            QFileInfo(folder).isWritable()) {
            return folder;
        }
    }
    if (canCreateFileIn(moduleFolder)) {
        return moduleFolder;
    }
    if (!dataFolder.isEmpty() && QDir().mkpath(dataFolder) && canCreateFileIn(dataFolder)) {
        return dataFolder;
    }
    return moduleFolder;
}

bool writeInstallDateOnce(const QString& file, std::int64_t now) {
    if (file.isEmpty() || somethingAt(file)) {
        return false;
    }
    char digits[32];
    const int length = std::snprintf(digits, sizeof digits, "%" PRId64, now);
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    const bool written = out.write(digits, length) == length;
    out.close();
    if (!written) {
        // A partial date would be taken for the real one at every later start.
        out.remove();
    }
    return written;
}

void readInstallTime(const QString& dateFile, const QString& markerFile, char* text) {
    std::memset(text, 0, kInstallTimeSize);
    if (dateFile.isEmpty() || somethingAt(markerFile)) {
        return;
    }
    QFile in(dateFile);
    if (!in.open(QIODevice::ReadOnly)) {
        return;
    }
    // One byte more than fits tells an over-long file from one that fits exactly.
    const QByteArray content = in.read(kInstallTimeSize);
    if (content.size() >= qsizetype(kInstallTimeSize)) {
        return;
    }
    std::memcpy(text, content.constData(), std::size_t(content.size()));
}
