// Several probers at once over a list of paths, outcomes taken in the list's order.
#include "probe_ahead.h"

#include "bounded_text.h"

#include <algorithm>
#include <new>

namespace {
// One prober's run. Path k always runs in slot k % width, so a slot is free again
// exactly when the path `width` places earlier has been handed out.
struct ProbeSlot {
    ToolProcess tool;
    MediaInfo info;
    ProbeServer server; // the slot's prober between paths, when they are served
    int result;
    bool running;
};
} // namespace

struct ProbeAhead {
    const char* const* paths;
    int count;
    int width;
    int started; // paths started (or refused) so far
    int taken;   // paths handed out so far
    bool served; // each slot keeps its prober running (serveProbes)
    ProbeSlot* slots;
};

namespace {
ProbeServer* serverOf(ProbeAhead* ahead, ProbeSlot* slot) {
    return ahead->served ? &slot->server : nullptr;
}

// Starts probers for the next paths while fewer than `width` are waiting to be taken.
void fillSlots(ProbeAhead* ahead) {
    while (ahead->started < ahead->count && ahead->started - ahead->taken < ahead->width) {
        ProbeSlot* slot = &ahead->slots[ahead->started % ahead->width];
        slot->result = startProbe(&slot->tool, &slot->info, ahead->paths[ahead->started],
                                  serverOf(ahead, slot));
        slot->running = slot->result == kProbeStarted;
        ++ahead->started;
    }
}

// Reads whatever each running prober has printed; a prober that ended is finished.
void pollRunningSlots(ProbeAhead* ahead) {
    for (int i = 0; i < ahead->width; ++i) {
        ProbeSlot* slot = &ahead->slots[i];
        if (slot->running && pollServedTool(serverOf(ahead, slot), &slot->tool) == 1) {
            slot->result = finishProbe(&slot->tool, &slot->info);
            slot->running = false;
        }
    }
}
} // namespace

ProbeAhead* createProbeAhead(const char* programPath, const char* const* paths, int count,
                             int width) {
    auto* ahead = new (std::nothrow)
        ProbeAhead{paths, std::max(count, 0), std::clamp(width, 1, kMaxProbesAhead), 0, 0, false, nullptr};
    if (ahead == nullptr) {
        return nullptr;
    }
    ahead->slots = new (std::nothrow) ProbeSlot[static_cast<std::size_t>(ahead->width)];
    if (ahead->slots == nullptr) {
        delete ahead;
        return nullptr;
    }
    for (int i = 0; i < ahead->width; ++i) {
        ProbeSlot* slot = &ahead->slots[i];
        slot->info = MediaInfo{};
        slot->tool.context = &slot->info;
        slot->tool.handlers = &kProbeHandlers;
        slot->result = kProbeNotStarted;
        slot->running = false;
        initProbeServer(&slot->server);
        // A program path that does not fit leaves it empty: every start then fails.
        copyText(slot->tool.programPath, sizeof slot->tool.programPath, programPath);
    }
    return ahead;
}

void askProbesFor(ProbeAhead* ahead, unsigned asked) {
    for (int i = 0; i < ahead->width; ++i) {
        ahead->slots[i].info.asked = asked;
    }
}

void serveProbes(ProbeAhead* ahead) {
    ahead->served = true;
}

void pollProbeAhead(ProbeAhead* ahead) {
    fillSlots(ahead);
    pollRunningSlots(ahead);
}

int takeReadyProbe(ProbeAhead* ahead, ProbeOutcome* outcome) {
    if (ahead->taken >= ahead->count) {
        return 0;
    }
    fillSlots(ahead);
    const ProbeSlot* slot = &ahead->slots[ahead->taken % ahead->width];
    if (slot->running) {
        return 0;
    }
    *outcome = ProbeOutcome{ahead->paths[ahead->taken], slot->result, slot->info.duration,
                            slot->info.hasAudio, slot->info.details};
    ++ahead->taken;
    fillSlots(ahead); // the freed slot works while the caller handles this outcome
    return 1;
}

int takeNextProbe(ProbeAhead* ahead, ProbeOutcome* outcome) {
    if (ahead->taken >= ahead->count) {
        return 0;
    }
    while (takeReadyProbe(ahead, outcome) == 0) {
        pollRunningSlots(ahead); // each running prober's poll waits at most 1 ms
    }
    return 1;
}

const char* nextProbePath(const ProbeAhead* ahead) {
    return ahead->taken < ahead->count ? ahead->paths[ahead->taken] : nullptr;
}

void releaseProbeAhead(ProbeAhead* ahead) {
    if (ahead == nullptr) {
        return;
    }
    for (int i = 0; i < ahead->width; ++i) {
        ProbeSlot* slot = &ahead->slots[i];
        if (slot->running) {
            finishProbe(&slot->tool, &slot->info); // frees its output; the prober is let go
        }
        stopProbeServer(&slot->server);
    }
    delete[] ahead->slots;
    delete ahead;
}
