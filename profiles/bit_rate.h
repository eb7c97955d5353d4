// Reading a bit rate text of the catalogue ("128K", "6.7k", "V2") as a number.
#pragma once

// Kilobits per second: a decimal number with the suffix "K" or "k" ("128K", "6.7k"), "M"
// or "m" for megabits ("1.5M"), or none for bits ("64000"). -1 for any other text ("Auto",
// "auto", "128 K"). The point is always a point, whatever the locale.
double readKilobits(const char* text);

// A quality level that stands where a bit rate would: "V0" to "V9", LAME's variable-rate
// levels, or "Q" and a decimal number, an encoder's own quality scale ("Q1.5"). The
// level's number (2 for "V2"), or -1 for any other text.
double readQualityLevel(const char* text);

// The kilobits per second a bit rate text stands for: the rate itself, or for a quality
// level the rate it typically gives music; -1 when the text is neither.
double typicalKilobits(const char* text);
