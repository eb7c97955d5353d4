// The colours of the job list, taken from the skin so the standard list sits in the dark
// window instead of showing the toolkit's white.
#pragma once

#include <QPalette>

// `base` with the list's roles replaced: background, alternate rows, text, header
// (button roles), selection, and the frame's shades.
QPalette jobListPalette(const QPalette& base);
