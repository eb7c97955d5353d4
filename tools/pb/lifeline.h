// The conditions under which the prober stops whatever it is doing.
#pragma once

// Watches, on a thread of its own, for the three reasons to give up: `seconds` have
// passed (a read that hangs on a dead network mount), standard input (when it is a pipe
// or a socket) has reached its end because the program that started us is gone, or
// standard output can no longer be written. Any of them ends the process at once with
// status 1; the first after one line on standard error. Also makes a write to a closed
// pipe an error rather than a fatal signal.
void startLifeline(int seconds);
// Moves the time limit `seconds` on from now: a whole file read packet by packet takes
// as long as the disk needs, and only a read that stops moving is given up.
void renewLifeline();
