// The one chain of jobs, in the order they were added, which is also the order of the
// list-view rows and of conversion. It owns its jobs.
#pragma once

#include "conversion_job.h"

class JobRowView;

struct JobList {
    ConversionJob* head; // nullptr when empty
};

extern JobList g_jobList;

// The job at `position` (0 is the head), or nullptr outside the chain.
ConversionJob* jobAt(int position);
// Number of jobs in the chain.
int jobCount();
// Appends a job at the end; the list owns it from now on.
void appendJob(ConversionJob* job);
// Unlinks and releases the job at `position`. Returns 1 when one was removed, else 0.
int removeJobAt(int position);
// Releases every job.
void clearJobs();
// Sets every job's row to its position.
void renumberRows();
// Copies `folder` into every job's destinationFolder ("" = beside the source).
// Returns 0, or -1 when the folder does not fit kPathSize (nothing changes) or, out of
// memory, a job kept its old folder.
int setDestinationForAll(const char* folder);
// refreshJobRow for every job, in chain order, with currentProfile.
void refreshAllRows(JobRowView* view);
