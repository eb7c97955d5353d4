// Access to the skin images, bitmaps and icon compiled into the program (Qt resource file
// nemarro.qrc: ":/WXPNG/<id>", ":/BITMAP/<id>", ":/ICON/<id>/<size>", each also painted at twice
// its size under the name followed by "@2x").
#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QString>

#include "resource_ids.h"

// The skin's device pixels per logical pixel for this process: 2 when a screen has more than one
// device pixel to the logical one (the "@2x" images are then used), otherwise 1.
int skinScale();

// Resource path of a "WXPNG" image or of a bitmap, at `scale` 1 or 2.
QString skinPngPath(int id, int scale = 1);
QString skinBitmapPath(int id, int scale = 1);
// The undecoded bytes of a "WXPNG" image; empty when there is no such image.
QByteArray skinPngData(int id, int scale = 1);
// A bitmap decoded as 32-bit opaque RGB (QImage::Format_RGB32) at `scale`, its device pixel
// ratio set to it so that it draws at its logical size; null when there is none.
QImage loadSkinBitmap(int id, int scale = skinScale());
// The application icon in all its sizes; null icon when missing.
QIcon loadAppIcon(int id = IDI_APP_ICON);
