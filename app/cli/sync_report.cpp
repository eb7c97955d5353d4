// The sync's lines for a person and for scripts, and the counts behind its summary.
#include "sync_report.h"

#include "json_line.h"
#include "run_display.h"
#include "run_events.h"

namespace {

// The person's word for a step, and the JSON outcome of one taken.
const char* personsWord(SyncStep step, bool retag, bool dryRun) {
    switch (step) {
    case SyncStep::Convert:
    case SyncStep::Replace:
        return dryRun ? "convert" : "converted";
    case SyncStep::Retag:
        return dryRun ? "re-tag" : "re-tagged";
    case SyncStep::Move:
        return !dryRun ? "moved" : retag ? "move+tag" : "move";
    case SyncStep::Adopt:
        return dryRun ? "adopt" : "adopted";
    case SyncStep::Remove:
        return dryRun ? "remove" : "removed";
    default:
        return syncStepWord(step);
    }
}

const char* outcomeOf(SyncStep step) {
    switch (step) {
    case SyncStep::Convert:
    case SyncStep::Replace:
        return "converted";
    case SyncStep::Retag:
        return "retagged";
    case SyncStep::Move:
        return "moved";
    case SyncStep::Adopt:
        return "adopted";
    case SyncStep::Remove:
        return "removed";
    case SyncStep::Forget:
        return "forgotten";
    default:
        return syncStepWord(step);
    }
}

void count(SyncTally* tally, SyncStep step) {
    switch (step) {
    case SyncStep::Convert:
    case SyncStep::Replace:
        ++tally->converted;
        break;
    case SyncStep::Retag:
        ++tally->retagged;
        break;
    case SyncStep::Move:
        ++tally->moved;
        break;
    case SyncStep::Adopt:
        ++tally->unchanged; // the output was there; only the manifest learns of it
        break;
    case SyncStep::Remove:
        ++tally->removed;
        break;
    default:
        break;
    }
}

void addPath(JsonLine* line, const char* key, const std::string& path) {
    if (path.empty()) {
        addJsonNull(line, key);
    } else {
        addJsonString(line, key, path);
    }
}

// {"event": "file", "source", "output", "outcome", "reason", the two lengths}, and with
// `step` (a dry run's) and a move's "from".
void printFileEvent(const SyncSubject& subject, const char* outcome, const std::string& reason,
                    const char* step = nullptr) {
    JsonLine line;
    addJsonString(&line, "event", "file");
    addPath(&line, "source", subject.source);
    addPath(&line, "output", subject.output);
    addJsonString(&line, "outcome", outcome);
    if (step != nullptr) {
        addJsonString(&line, "step", step);
    }
    addPath(&line, "reason", reason);
    addJsonSeconds(&line, "source_seconds", subject.sourceSeconds);
    addJsonSeconds(&line, "output_seconds", subject.outputSeconds);
    if (!subject.from.empty()) {
        addJsonString(&line, "from", subject.from);
    }
    std::fputs(closeJsonLine(&line).c_str(), stdout);
    std::fflush(stdout);
}

void sayToPerson(const SyncReport& report, const char* word, const std::string& text) {
    if (!report.quiet) {
        std::fprintf(report.people, "%-10s %s\n", word, text.c_str());
        std::fflush(report.people);
    }
}

} // namespace

void initSyncReport(SyncReport* report, bool quiet, bool json, bool dryRun) {
    report->quiet = quiet;
    report->json = json;
    report->dryRun = dryRun;
    report->people = json ? stderr : stdout;
    report->startSeconds = nowSeconds();
}

void reportStep(SyncReport* report, SyncStep step, bool retag, const std::string& text,
                const SyncSubject& subject, const std::string& reason) {
    count(&report->tally, step);
    if (report->dryRun && step == SyncStep::Move && retag) {
        ++report->tally.retagged;
    }
    const char* word = personsWord(step, retag, report->dryRun);
    sayToPerson(*report, word, reason.empty() ? text : text + ": " + reason);
    if (report->json) {
        printFileEvent(subject, report->dryRun ? "planned" : outcomeOf(step), reason,
                       report->dryRun ? word : nullptr);
    }
}

void countUnchanged(SyncReport* report, int count) {
    report->tally.unchanged += count;
}

void reportFailure(SyncReport* report, const std::string& what, const std::string& reason,
                   const SyncSubject& subject) {
    ++report->tally.failed;
    std::fflush(report->people);
    std::fprintf(stderr, "failed     %s: %s\n", what.c_str(), reason.c_str());
    if (report->json) {
        printFileEvent(subject, "failed", reason);
    }
}

void reportSkipped(SyncReport* report, const SyncSubject& subject) {
    ++report->tally.skipped;
    if (report->json) {
        printFileEvent(subject, "skipped", "no media with sound");
    }
}

void reportProblem(SyncReport* report, const SourceProblem& problem) {
    ++report->tally.failed;
    std::fprintf(stderr, "nemarro-cli: %s\n", problemText(problem).c_str());
    if (report->json) {
        std::fputs(problemEvent(problem).c_str(), stdout);
    }
}

void reportNote(SyncReport* report, const char* word, const std::string& text) {
    sayToPerson(*report, word, text);
}

void reportSummary(SyncReport* report, const std::string& mirror, bool interrupted) {
    const SyncTally& t = report->tally;
    std::fflush(stderr);
    std::fprintf(
        report->people,
        "%s%s: %d converted, %d re-tagged, %d moved, %d removed, %d unchanged, %d failed%s\n",
        report->dryRun ? "Dry run, nothing changed: " : "", mirror.c_str(), t.converted, t.retagged,
        t.moved, t.removed, t.unchanged, t.failed,
        t.skipped > 0 ? (", " + std::to_string(t.skipped) + " skipped (no sound)").c_str() : "");
    std::fflush(report->people);
    if (!report->json) {
        return;
    }
    JsonLine line;
    addJsonString(&line, "event", "summary");
    addJsonBool(&line, "dry_run", report->dryRun);
    addJsonInteger(&line, "converted", t.converted);
    addJsonInteger(&line, "retagged", t.retagged);
    addJsonInteger(&line, "moved", t.moved);
    addJsonInteger(&line, "removed", t.removed);
    addJsonInteger(&line, "unchanged", t.unchanged);
    addJsonInteger(&line, "failed", t.failed);
    addJsonInteger(&line, "skipped", t.skipped);
    addJsonBool(&line, "interrupted", interrupted);
    addJsonSeconds(&line, "seconds", nowSeconds() - report->startSeconds);
    std::fputs(closeJsonLine(&line).c_str(), stdout);
    std::fflush(stdout);
}
