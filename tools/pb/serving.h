// The prober kept running for one caller that asks about many files: it loads its
// hundred-odd libraries once instead of once a file.
//
// A request is the words of a command line after the program's name, each ended by a
// NUL byte, and the request by one more NUL. Each answer is what that command line would
// print (the report, or the one line of why not), ended by the line
//   [/ANSWER status=N]
// with N the status it would exit with. Nothing in a report can begin a line with that:
// its lines are section markers, keys and the prober's own messages, and values are
// escaped. The prober greets with an empty answer before the first request, so a caller
// can tell it serves from one that does not know the mode. It ends with status 0 when its
// input ends between requests.
#pragma once

inline constexpr char kAnswerEnd[] = "[/ANSWER status=";

// Serves requests on standard input until it ends; each answer has `timeLimitSeconds`
// before the prober gives up (see lifeline.h), and the wait for a request has none.
int serveRequests(int timeLimitSeconds);
