// Which process we are, and whether another one still runs: a file named after its
// process can be told from the leftovers of one that died.
#pragma once

#include <cstdint>

int64_t currentProcessId();
// True when a process with this id runs (one of another user's counts too); false when
// none does.
bool processIsAlive(int64_t processId);
