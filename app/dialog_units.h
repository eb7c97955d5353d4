// The dialog layouts are given in dialog units of an 8-point font: these turn them into
// pixels and give the windows that font, so the layout and the text agree.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QComboBox;

// x * 1.5, y * 1.625 (the 8-point dialog font at 96 dpi), rounded to the nearest pixel.
QRect dialogUnits(int x, int y, int width, int height);
// The dialog face (Liberation Sans) at 8 points.
QFont dialogFont();
// The font that shows `text` whole in `fieldWidth` pixels: the dialog font, or a narrow
// face at the largest size that fits (9 pixels at the least).
QFont fittingFont(const QString& text, int fieldWidth);
// Gives the combo the fitting font for its current text.
void fitComboText(QComboBox& combo);
