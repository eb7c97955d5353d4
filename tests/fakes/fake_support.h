// What tests need around the fake programs: its path and command line, scratch folders
// (scratch_folder.h), and counting this process's open descriptors.
#pragma once

#include "scratch_folder.h"

#include <string>

// The fake program's path.
std::string fakeToolPath();
// The command line that runs the fake with `scriptPath` as its last argument.
std::string fakeCommandLine(const std::string& scriptPath);
// Makes every fake started from now on run the script at `path` (NEMARRO_FAKE_SCRIPT),
// whatever its command line says; an empty path ends that.
void setFakeScript(const std::string& path);
// Makes every fake started from now on know "-serve" (the default) or not.
void setFakeServes(bool serves);
// Number of descriptors (on Windows: handles) this process holds open.
int openDescriptorCount();

// How a run of the fake's "crash" ends, as the platform layer reports it: by SIGABRT on
// POSIX, with the exception code 0xC0000409 as exit code on Windows.
extern const int kFakeCrashCode;
extern const bool kFakeCrashBySignal;
