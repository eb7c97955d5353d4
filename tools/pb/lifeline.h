// The conditions under which the prober stops whatever it is doing.
#pragma once

// Watches, on a thread of its own, for the three reasons to give up: `seconds` have
// passed (a read that hangs on a dead network mount), standard input (when it is a pipe
// or a socket, and `watchInput`) has reached its end because the program that started us
// is gone, or standard output can no longer be written. Any of them ends the process at once with
// status 1; the first after one line on standard error. Also makes a write to a closed
// pipe an error rather than a fatal signal.
void startLifeline(int seconds, bool watchInput = true);
// Moves the time limit to `seconds` from now: a read that takes long but keeps going
// (decoding a whole file) is not one that hangs. Cheap enough to call per packet.
void renewLifeline();
// Stops the time limit until the next renewLifeline: a serving prober waits for its next
// request as long as its caller likes.
void suspendLifeline();
