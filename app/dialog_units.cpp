// Dialog units to pixels, and the dialog font.
#include "dialog_units.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <cmath>

QRect dialogUnits(int x, int y, int width, int height) {
    return QRect(int(std::lround(x * 1.5)), int(std::lround(y * 1.625)), int(std::lround(width * 1.5)),
                 int(std::lround(height * 1.625)));
}

// Liberation Sans has the widths of the classic dialog face the layout was drawn for;
// where it is missing, the toolkit's nearest match stands in.
QFont dialogFont() {
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Liberation Sans")});
    font.setPointSize(8);
    return font;
}

// The dialog face when the text fits the field; otherwise a narrow face, at the largest
// pixel size that fits, down to 9 pixels: the longest summary line ("WMA - Windows Media
// Audio  [Windows Media Audio V8(128K 44100 Stereo)] .wma", 72 characters) needs about 3.8
// pixels a character in the profile combo's 277-pixel field. Pixels, not points, because
// the field is a fixed number of pixels whatever the screen's dpi.
QFont fittingFont(const QString& text, int fieldWidth) {
    const QFont regular = dialogFont();
    if (QFontMetrics(regular).horizontalAdvance(text) <= fieldWidth)
        return regular;
    QFont narrow = regular;
    narrow.setFamilies({QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Liberation Sans")});
    constexpr int kLargest = 11, kSmallest = 9;
    for (int pixels = kLargest; pixels > kSmallest; --pixels) {
        narrow.setPixelSize(pixels);
        if (QFontMetrics(narrow).horizontalAdvance(text) <= fieldWidth)
            return narrow;
    }
    narrow.setPixelSize(kSmallest);
    return narrow;
}

void fitComboText(QComboBox& combo) {
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    const QRect field =
        combo.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &combo);
    combo.setFont(fittingFont(combo.currentText(), field.width()));
}