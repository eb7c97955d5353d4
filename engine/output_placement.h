// What becomes of an output written under a temporary name once its verdict is out: a
// whole one goes to its name, never over another file; a stopped one is kept under a
// name no later run takes for a whole output, or dropped.
#pragma once

struct ConversionJob;
struct OutputClaims;

// Renames the whole file at `temporary` to `finalPath` (kPathSize), never over a file that
// is there: when the name was taken meanwhile, the naming rule's next free name of the job
// is taken instead and `finalPath` says which. False when no name could be had.
bool placeWholeOutput(ConversionJob* job, const char* temporary, char* finalPath,
                      const OutputClaims* claims);
// Keeps the shorter file at `temporary` as "<base> (stopped)<extension>" in its folder
// (the counter rule when that is taken), which the naming rule never gives a whole
// output: a later run converts the file again rather than count it done. `keptPath`
// (kPathSize) says where. False when it could not be kept (the temporary then stays).
bool keepStoppedOutput(const ConversionJob& job, const char* temporary, char* keptPath,
                       const OutputClaims* claims);
