// The terminal from isatty and TIOCGWINSZ.
#include "console_terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

bool standardOutputIsTerminal() {
    return isatty(STDOUT_FILENO) == 1;
}

int terminalColumns() {
    winsize size = {};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0) {
        return 0;
    }
    return size.ws_col;
}
