// The job list's colours. They come from the skin: the navy of the panel the list sits
// in, the blue of the skin's buttons for the selection, and a pale blue-white text with
// a contrast far above the 4.5:1 that body text needs.
#include "job_list_palette.h"

namespace {
const QColor kListBackground(14, 25, 46);   // a shade below the panel around the list
const QColor kAlternateRow(19, 33, 59);
const QColor kText(222, 231, 245);
const QColor kDimText(122, 140, 170);       // disabled rows and the placeholder
const QColor kHeader(32, 55, 95);           // the panel's navy behind the top buttons
const QColor kHeaderText(200, 214, 238);
const QColor kSelection(45, 104, 205);      // the skin buttons' blue
const QColor kSelectedText(255, 255, 255);
const QColor kFrameLight(57, 88, 141);
const QColor kFrameDark(8, 16, 32);
} // namespace

QPalette jobListPalette(const QPalette& base) {
    QPalette palette = base;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool disabled = group == QPalette::Disabled;
        palette.setColor(group, QPalette::Base, kListBackground);
        palette.setColor(group, QPalette::AlternateBase, kAlternateRow);
        palette.setColor(group, QPalette::Window, kListBackground);
        palette.setColor(group, QPalette::Text, disabled ? kDimText : kText);
        palette.setColor(group, QPalette::WindowText, disabled ? kDimText : kText);
        palette.setColor(group, QPalette::PlaceholderText, kDimText);
        palette.setColor(group, QPalette::Button, kHeader);
        palette.setColor(group, QPalette::ButtonText, disabled ? kDimText : kHeaderText);
        palette.setColor(group, QPalette::Highlight, kSelection);
        palette.setColor(group, QPalette::HighlightedText, kSelectedText);
        palette.setColor(group, QPalette::Light, kFrameLight);
        palette.setColor(group, QPalette::Midlight, kFrameLight);
        palette.setColor(group, QPalette::Mid, kHeader);
        palette.setColor(group, QPalette::Dark, kFrameDark);
        palette.setColor(group, QPalette::Shadow, kFrameDark);
    }
    // A selection in a list without focus stays visible, a little quieter.
    palette.setColor(QPalette::Inactive, QPalette::Highlight, kSelection.darker(130));
    return palette;
}
