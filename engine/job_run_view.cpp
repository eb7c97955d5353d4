// What a front end that says nothing else gets: the naming rule's output name, and the
// whole file renamed into place never over another.
#include "job_run_view.h"

#include "output_placement.h"

const char* JobRunView::outputPathFor(const ConversionJob&) {
    return nullptr;
}

bool JobRunView::placeOutput(ConversionJob& job, const char* temporary, char* finalPath,
                             const OutputClaims* claims) {
    return placeWholeOutput(&job, temporary, finalPath, claims);
}
