// The interrupt count, raised by SIGINT and SIGTERM.
#include "interrupt_signal.h"

#include <csignal>

namespace {
volatile std::sig_atomic_t g_interrupts = 0;

extern "C" void countInterrupt(int) {
    if (g_interrupts < 1000) {
        g_interrupts = g_interrupts + 1;
    }
}
} // namespace

void watchInterrupts() {
    struct sigaction action = {};
    action.sa_handler = countInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART; // writes to the terminal go on undisturbed
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int interruptCount() {
    return g_interrupts;
}
