// Reading the skin images, bitmaps and icon from the compiled-in resource file.
#include "skin_resources.h"

#include <QFile>
#include <QGuiApplication>

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

namespace {

QString scaled(const QString& path, int scale) {
    return scale == 1 ? path : path + QStringLiteral("@%1x").arg(scale);
}

} // namespace

int skinScale() {
    return qGuiApp != nullptr && qGuiApp->devicePixelRatio() > 1.0 ? 2 : 1;
}

QString skinPngPath(int id, int scale) {
    return scaled(QStringLiteral(":/WXPNG/%1").arg(id), scale);
}

QString skinBitmapPath(int id, int scale) {
    return scaled(QStringLiteral(":/BITMAP/%1").arg(id), scale);
}

QByteArray skinPngData(int id, int scale) {
    return readResource(skinPngPath(id, scale));
}

QImage loadSkinBitmap(int id, int scale) {
    const QByteArray data = readResource(skinBitmapPath(id, scale));
    QImage image;
    if (data.isEmpty() || !image.loadFromData(data))
        return scale == 1 ? QImage() : loadSkinBitmap(id, 1);
    image = image.convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    return image;
}

QIcon loadAppIcon(int id) {
    QIcon icon;
    for (int scale : {1, 2}) {
        for (int size : {16, 24, 32, 48, 64, 128, 256}) {
            const QByteArray data =
                readResource(scaled(QStringLiteral(":/ICON/%1/%2").arg(id).arg(size), scale));
            QImage image;
            if (!data.isEmpty() && image.loadFromData(data)) {
                image.setDevicePixelRatio(scale);
                icon.addPixmap(QPixmap::fromImage(image));
            }
        }
    }
    return icon;
}
