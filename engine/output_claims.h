// Output paths claimed by encoder runs that are going on at once, or planned by a dry
// run. Such a run's file may not exist yet when the next run looks for a free name on
// the disk, so a claimed path counts as taken too (uniqueOutputName). A front end that
// runs one encoder at a time never claims one. Used from one thread.
#pragma once

// Claims `path`. Returns 0, or -1 for an empty path.
int claimOutputPath(const char* path);
// Gives a claimed path up (once its run has ended); nothing when it was not claimed.
void releaseOutputPath(const char* path);
bool outputPathClaimed(const char* path);
