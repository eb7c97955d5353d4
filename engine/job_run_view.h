// What a front end hears of a conversion queue: the job that started, its percentage while
// it converts, its verdict when it ends, the note beside it, how far the queue is, and an
// output folder that refuses new files. The front end derives everything it shows from
// these (a status text from the verdict, never the other way round). The main window
// implements it over its list's rows, the command-line converter over its printed lines.
#pragma once

struct ConversionJob;
struct JobVerdict;
struct OutputClaims;

class JobRunView {
public:
    virtual ~JobRunView() = default;
    // The job's encoder runs; its output goes to `outputPath`, composed now.
    virtual void jobStarted(const ConversionJob& job, const char* outputPath) = 0;
    // The running job's share of its range, and the status text it shows as ("%05.2f%%",
    // "39.71%" in any locale).
    virtual void jobProgress(const ConversionJob& job, float percent, const char* text) = 0;
    // How the job ended, or why it never started; verdictStatusText gives its status.
    virtual void jobEnded(const JobVerdict& verdict) = 0;
    // The job's note has changed (emptied at a start, or the reason of how it ended).
    virtual void showJobNote(const ConversionJob& job) = 0;
    // Jobs that have ended (or were skipped) out of the jobs handed to the queue so far.
    virtual void queueProgress(int done, int total) = 0;
    // The job's output folder refuses new files (`folder`, as composed). The queue then
    // stops there or, when told to go on, gives the job its verdict and starts the next.
    virtual void folderRefused(const ConversionJob& job, const char* folder) = 0;
    // Asked once before a job starts: true leaves it out (the queue counts it as done).
    virtual bool skipJob(const ConversionJob& job) = 0;

    // With temporary outputs (QueueOptions): where the job's whole output goes, asked as
    // it starts; nullptr leaves it to the naming rule.
    virtual const char* outputPathFor(const ConversionJob& job);
    // With temporary outputs: puts the whole file at `temporary` at `finalPath` (kPathSize)
    // before the verdict is reported; false when it could not (the temporary then goes,
    // and the job fails). By default placeWholeOutput: never over another file.
    virtual bool placeOutput(ConversionJob& job, const char* temporary, char* finalPath,
                             const OutputClaims* claims);
};
