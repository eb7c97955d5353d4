// The dialog layouts are given in dialog units of an 8-point font: these turn them into
// pixels and give the windows that font, so the layout and the text agree.
#pragma once

#include <QFont>
#include <QRect>

// x * 1.5, y * 1.625 (the 8-point dialog font at 96 dpi), rounded to the nearest pixel.
QRect dialogUnits(int x, int y, int width, int height);
// The application's font at 8 points.
QFont dialogFont();
