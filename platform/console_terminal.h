// Whether standard output is a terminal a person watches, and how wide it is: a console
// program redraws live lines there, and writes plain lines to a file or a pipe.
#pragma once

// True when standard output is a terminal that takes the cursor controls of live lines
// (on Windows: a console that accepts its virtual-terminal mode, which this turns on).
bool standardOutputIsTerminal();

// The terminal's width in columns; 0 when standard output is no terminal or says none.
int terminalColumns();
