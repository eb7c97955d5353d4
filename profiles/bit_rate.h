// Reading a bit rate text of the catalogue ("128K", "6.7k") as a number.
#pragma once

// Kilobits per second: a decimal number with the suffix "K" or "k" ("128K", "6.7k"), "M"
// or "m" for megabits ("1.5M"), or none for bits ("64000"). -1 for any other text ("Auto",
// "auto", "128 K"). The point is always a point, whatever the locale.
double readKilobits(const char* text);
