// CGdiPlusBitmapResource: decoding the "WXPNG" skin images.
#include "gdiplus_bitmap.h"

#include <QByteArray>

#include "skin_resources.h"

CGdiPlusBitmapResource::~CGdiPlusBitmapResource() = default;

bool CGdiPlusBitmapResource::Load(int id) {
    Empty();
    // On a HiDPI screen the image painted at twice the size, drawn at the same logical size.
    const int scale = skinScale();
    if (scale != 1 && LoadFromData(skinPngData(id, scale))) {
        m_bitmap.setDevicePixelRatio(scale);
        return true;
    }
    return LoadFromData(skinPngData(id));
}

bool CGdiPlusBitmapResource::LoadFromData(const QByteArray& png) {
    Empty();
    if (png.isEmpty())
        return false;
    QImage decoded;
    if (!decoded.loadFromData(png, "PNG") || decoded.isNull())
        return false;
    // Straight alpha, so that the hover matrix works on the colours as stored.
    m_bitmap = decoded.convertToFormat(QImage::Format_ARGB32);
    return !m_bitmap.isNull();
}

void CGdiPlusBitmapResource::Empty() {
    m_bitmap = QImage();
}
