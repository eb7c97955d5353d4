// Ctrl+C and SIGTERM turned into a count the conversion loop reads: the program never
// ends inside a signal handler, so every running encoder can be asked to finish its file.
#pragma once

// Installs the handlers for SIGINT and SIGTERM.
void watchInterrupts();
// How many interrupts have arrived so far.
int interruptCount();
