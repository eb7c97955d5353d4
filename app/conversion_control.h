// The pieces of the conversion loop that stand apart from the main window: its timer
// ids, the writability test of an output folder and the verdict on a finished run.
#pragma once

struct ConversionJob;

// Timer ids of the main window's conversion loop.
inline constexpr int TIMER_POLL_ENCODER = 1000; // 50 ms: poll the encoder, finish a job
inline constexpr int TIMER_PROGRESS = 1001;     // 100 ms: percentage and slider
inline constexpr int kPollEncoderPeriod = 50;
inline constexpr int kProgressPeriod = 100;

// The share of a job's range the encoder must have reached for "Success!".
inline constexpr double kSuccessPercent = 88.0;

// True when a file can be created in `folder` (8-bit, with or without a trailing
// separator). The test file has a name of its own that no other file has: it is created
// exclusively, so an existing file is never opened, and removed at once.
bool folderIsWritable(const char* folder);

// "Success!" or not for a run that has ended: the encoder must have exited by itself
// with status 0, and reached 88 % of the range (a range that gives no ordered percentage
// counts as reached). A crashed or failing encoder is never a success.
bool conversionSucceeded(double percent, bool exitedCleanly);

// The other half of a success: the job's output file exists and is not empty.
bool outputFileFilled(const ConversionJob& job);
