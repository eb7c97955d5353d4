// Whether an output that is already there holds the whole of its source: a copy made by
// an earlier run is adopted only then, and --skip-existing skips only then.
#pragma once

// Encoders pad or trim a little at either end (an MP3 frame is 26 ms, AAC primes 23 ms);
// an output cut short by a stop or a crash lacks far more. The tolerance is this much,
// plus this share of a long source's length.
inline constexpr double kLengthToleranceSeconds = 0.25;
inline constexpr double kLengthToleranceShare = 0.005;

// Both lengths in seconds, as the prober reads them.
bool outputIsShorter(double outputSeconds, double sourceSeconds);
bool lengthsMatch(double outputSeconds, double sourceSeconds);
