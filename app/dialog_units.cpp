// Dialog units to pixels, and the dialog font.
#include "dialog_units.h"

#include <QApplication>

#include <cmath>

QRect dialogUnits(int x, int y, int width, int height) {
    return QRect(int(std::lround(x * 1.5)), int(std::lround(y * 1.625)), int(std::lround(width * 1.5)),
                 int(std::lround(height * 1.625)));
}

QFont dialogFont() {
    QFont font = QApplication::font();
    font.setPointSize(8);
    return font;
}
