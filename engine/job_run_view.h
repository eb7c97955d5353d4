// What a front end shows of a job while the run converts it: the status text
// (a percentage, then how it ended) and the note beside it. The main window implements
// it over its list's rows, the command-line converter over its printed lines.
#pragma once

struct ConversionJob;

class JobRunView {
public:
    virtual ~JobRunView() = default;
    // The job's status: "39.71%" while it converts, then "Success!", "Failed!" or "FATAL!".
    virtual void showJobStatus(const ConversionJob& job, const char* text) = 0;
    // The job's note has changed (emptied at a start, or the reason of how it ended).
    virtual void showJobNote(const ConversionJob& job) = 0;
};
