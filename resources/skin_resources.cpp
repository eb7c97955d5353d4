// Reading the skin images, bitmaps and icon from the compiled-in resource file.
#include "skin_resources.h"

#include <QFile>

#include <mutex>

// The resource file lives in a static library; registering it explicitly keeps the linker from
// dropping it. (Outside any namespace: the macro declares the registration function.)
static void registerNemarroResources() {
    Q_INIT_RESOURCE(nemarro);
}

namespace {

void ensureRegistered() {
    static std::once_flag once;
    std::call_once(once, registerNemarroResources);
}

QByteArray readResource(const QString& path) {
    ensureRegistered();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

} // namespace

QString skinPngPath(int id) {
    return QStringLiteral(":/WXPNG/%1").arg(id);
}

QString skinBitmapPath(int id) {
    return QStringLiteral(":/BITMAP/%1").arg(id);
}

QByteArray skinPngData(int id) {
    return readResource(skinPngPath(id));
}

QImage loadSkinBitmap(int id) {
    const QByteArray data = readResource(skinBitmapPath(id));
    QImage image;
    if (data.isEmpty() || !image.loadFromData(data))
        return QImage();
    return image.convertToFormat(QImage::Format_RGB32);
}

QIcon loadAppIcon(int id) {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QByteArray data = readResource(QStringLiteral(":/ICON/%1/%2").arg(id).arg(size));
        QImage image;
        if (!data.isEmpty() && image.loadFromData(data))
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}
