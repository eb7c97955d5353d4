// Comparing an existing output's length with its source's.
#include "output_length.h"

#include <cmath>

namespace {
double tolerance(double sourceSeconds) {
    return kLengthToleranceSeconds + kLengthToleranceShare * std::fabs(sourceSeconds);
}
} // namespace

bool outputIsShorter(double outputSeconds, double sourceSeconds) {
    // A length the prober could not read is no proof of a whole file.
    return !(outputSeconds >= sourceSeconds - tolerance(sourceSeconds));
}

bool lengthsMatch(double outputSeconds, double sourceSeconds) {
    return !outputIsShorter(outputSeconds, sourceSeconds) &&
           outputSeconds <= sourceSeconds + tolerance(sourceSeconds);
}
