// Access to the skin images, bitmaps and icon compiled into the program (Qt resource file
// nemarro.qrc: ":/WXPNG/<id>", ":/BITMAP/<id>", ":/ICON/<id>/<size>").
#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QString>

#include "resource_ids.h"

// Resource path of a "WXPNG" image or of a bitmap.
QString skinPngPath(int id);
QString skinBitmapPath(int id);
// The undecoded bytes of a "WXPNG" image; empty when there is no such image.
QByteArray skinPngData(int id);
// A bitmap decoded as 32-bit opaque RGB (QImage::Format_RGB32); null when there is none.
QImage loadSkinBitmap(int id);
// The application icon in all its sizes; null icon when missing.
QIcon loadAppIcon(int id = IDI_APP_ICON);
