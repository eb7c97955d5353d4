// The timers of the main window's conversion loop; the run itself is the engine's
// (conversion_run.h).
#pragma once

// Timer ids of the main window's conversion loop.
inline constexpr int TIMER_POLL_ENCODER = 1000; // 50 ms: poll the encoder, finish a job
inline constexpr int TIMER_PROGRESS = 1001;     // 100 ms: percentage and slider
inline constexpr int kPollEncoderPeriod = 50;
inline constexpr int kProgressPeriod = 100;
