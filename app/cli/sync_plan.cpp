// Judging a sync's sources against the manifest, and naming the outputs that are new.
// The names follow the one rule of every run (base name, else the first free counter),
// with two additions of a mirror's: a record keeps the name it has while that still fits
// its source, and a file we do not own at a new source's name is adopted or left alone,
// never passed over with a counter (but in a sharded sync with --name, see SyncTarget).
#include "sync_plan.h"

#include "encoder_command_line.h"

#include <map>
#include <set>

namespace {

std::string joinBelow(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + "/" + name;
}

std::string sourceKey(const std::string& root, const std::string& path) {
    return root + '\0' + path;
}

// The output names of one plan: taken by records, planned by items, freed by removals.
class Names {
public:
    Names(const std::vector<ManifestRecord>& records, const MirrorFacts& facts) : m_facts(facts) {
        for (const ManifestRecord& record : records) {
            m_owned.insert(record.outputPath);
        }
    }
    void plan(const std::string& path) { m_planned.insert(path); }
    void free(const std::string& path) { m_freed.insert(path); }
    bool planned(const std::string& path) const { return m_planned.count(path) != 0; }

    // A path the source may write: `own` (the one its record holds) or one nothing stands
    // at, a removal aside, and no other item plans.
    bool isFree(const std::string& path, const std::string& own) const {
        if (path == own) {
            return true;
        }
        return !planned(path) && (m_freed.count(path) != 0 || !m_facts.output(path).exists);
    }
    // A file at `path` that no record names and no item plans: the user's, or an output
    // of an earlier run that kept no manifest.
    bool stranger(const std::string& path) const {
        return m_owned.count(path) == 0 && !planned(path) && m_facts.output(path).exists;
    }

private:
    const MirrorFacts& m_facts;
    std::set<std::string> m_owned;
    std::set<std::string> m_planned;
    std::set<std::string> m_freed;
};

struct Naming {
    std::string path;
    bool stranger = false; // a file we do not own stands at the name without a counter
};

// True when `path` is the name the source's output gets, with or without a counter.
bool fitsName(const std::string& path, const SyncSource& source, const std::string& extension) {
    const std::string plain = joinBelow(source.outputFolder, source.baseName);
    if (path.size() < plain.size() + extension.size() ||
        path.compare(0, plain.size(), plain) != 0 ||
        path.compare(path.size() - extension.size(), extension.size(), extension) != 0) {
        return false;
    }
    const std::string counter =
        path.substr(plain.size(), path.size() - plain.size() - extension.size());
    return counter.empty() ||
           (counter.size() > 2 && counter.front() == '(' && counter.back() == ')' &&
            counter.find_first_not_of("0123456789", 1) == counter.size() - 1);
}

// The output path of a source that needs a (new) name: its own while that still fits, else
// the base name, or, where an output of ours or of this plan stands, the first free counter.
Naming nameOutput(const SyncSource& source, const SyncTarget& target, const std::string& own,
                  Names* names) {
    const std::string plain = joinBelow(source.outputFolder, source.baseName + target.extension);
    Naming naming;
    if (!own.empty() && fitsName(own, source, target.extension)) {
        naming.path = own;
    } else if (names->isFree(plain, own)) {
        naming.path = plain;
    } else if (target.adoptStrangers && names->stranger(plain)) {
        naming.path = plain;
        naming.stranger = true;
        return naming; // not planned: nothing will be written there
    } else {
        for (int counter = 0;; ++counter) {
            const std::string candidate =
                joinBelow(source.outputFolder,
                          source.baseName + "(" + std::to_string(counter) + ")" + target.extension);
            if (names->isFree(candidate, own)) {
                naming.path = candidate;
                break;
            }
        }
    }
    names->plan(naming.path);
    return naming;
}

SyncItem item(SyncStep step, int source, int record, const std::string& outputPath) {
    SyncItem made;
    made.step = step;
    made.source = source;
    made.record = record;
    made.outputPath = outputPath;
    return made;
}

// A source whose output must be made again (another profile or other options) or whose
// name no longer fits it (its tags name it otherwise now): converted again, over its own
// output when the name stays; else moved when its output is still the one to have, or
// converted to the new name with the old output removed once it is done.
SyncItem renameOrConvert(const SyncSource& source, int index, int recordIndex,
                         const ManifestRecord& record, OutputState state, const SyncTarget& target,
                         Names* names) {
    const Naming naming = nameOutput(source, target, record.outputPath, names);
    if (naming.stranger) {
        SyncItem conflict = item(SyncStep::Conflict, index, recordIndex, naming.path);
        conflict.reason =
            "a file that is not nemarro's stands where the output belongs: left alone";
        return conflict;
    }
    if (naming.path == record.outputPath) {
        return item(state == OutputState::Missing ? SyncStep::Convert : SyncStep::Replace, index,
                    recordIndex, naming.path);
    }
    const bool current = record.options == target.options && state == OutputState::Written &&
                         record.audioFingerprint == source.audioFingerprint;
    SyncItem changed =
        item(current ? SyncStep::Move : SyncStep::Convert, index, recordIndex, naming.path);
    if (state != OutputState::Missing) {
        changed.oldOutputPath = record.outputPath;
    }
    changed.retag = current && record.tagFingerprint != source.tagFingerprint;
    return changed;
}

} // namespace

OutputState outputState(const ManifestRecord& record, const FileFacts& output) {
    if (!output.exists) {
        return OutputState::Missing;
    }
    if (output.size == record.outputSize && output.time == record.outputTime) {
        return OutputState::Written;
    }
    if ((record.replacedSize != 0 || record.replacedTime != 0) &&
        output.size == record.replacedSize && output.time == record.replacedTime) {
        return OutputState::Stale;
    }
    return OutputState::Changed;
}

bool needsProbe(const SyncSource& source, const ManifestRecord* record, const SyncTarget& target,
                const MirrorFacts& facts) {
    return record == nullptr || source.file.size != record->sourceSize ||
           source.file.time != record->sourceTime || record->options != target.options ||
           record->naming != target.naming ||
           outputState(*record, facts.output(record->outputPath)) != OutputState::Written;
}

std::vector<int> matchRecords(const std::vector<SyncSource>& sources,
                              const std::vector<ManifestRecord>& records) {
    std::map<std::string, int> byKey;
    for (std::size_t r = 0; r < records.size(); ++r) {
        byKey.emplace(sourceKey(records[r].sourceRoot, records[r].sourcePath), static_cast<int>(r));
    }
    std::vector<int> matched(sources.size(), -1);
    for (std::size_t s = 0; s < sources.size(); ++s) {
        const auto found = byKey.find(sourceKey(sources[s].root, sources[s].path));
        if (found != byKey.end()) {
            matched[s] = found->second;
        }
    }
    return matched;
}

std::vector<SyncItem> planSync(const std::vector<SyncSource>& sources,
                               const std::vector<ManifestRecord>& records,
                               const std::vector<std::string>& roots, const SyncTarget& target,
                               const MirrorFacts& facts) {
    const std::vector<int> recordOf = matchRecords(sources, records);
    std::vector<bool> taken(records.size(), false);
    Names names(records, facts);
    for (std::size_t s = 0; s < sources.size(); ++s) {
        if (recordOf[s] >= 0) {
            taken[static_cast<std::size_t>(recordOf[s])] = true;
            names.plan(records[static_cast<std::size_t>(recordOf[s])].outputPath);
        }
    }
    // Records of sources gone from one of the given folders, in the manifest's order: a
    // new source with the same sound takes one over (a move), the rest go.
    const std::set<std::string> given(roots.begin(), roots.end());
    std::vector<int> gone;
    for (std::size_t r = 0; r < records.size(); ++r) {
        if (!taken[r] && given.count(records[r].sourceRoot) != 0 && facts.sourceGone(records[r])) {
            gone.push_back(static_cast<int>(r));
        }
    }
    std::vector<int> movedFrom(sources.size(), -1);
    for (std::size_t s = 0; s < sources.size(); ++s) {
        const SyncSource& source = sources[s];
        if (recordOf[s] >= 0 || !source.readable || source.audioFingerprint.empty()) {
            continue;
        }
        for (int r : gone) {
            const ManifestRecord& record = records[static_cast<std::size_t>(r)];
            if (!taken[static_cast<std::size_t>(r)] &&
                record.audioFingerprint == source.audioFingerprint &&
                record.options == target.options &&
                outputState(record, facts.output(record.outputPath)) == OutputState::Written) {
                taken[static_cast<std::size_t>(r)] = true;
                movedFrom[s] = r;
                break;
            }
        }
    }
    std::vector<SyncItem> removals;
    for (int r : gone) {
        const ManifestRecord& record = records[static_cast<std::size_t>(r)];
        if (taken[static_cast<std::size_t>(r)]) {
            continue;
        }
        const OutputState state = outputState(record, facts.output(record.outputPath));
        if (state == OutputState::Written || state == OutputState::Stale) {
            names.free(record.outputPath);
            removals.push_back(item(SyncStep::Remove, -1, r, record.outputPath));
        } else {
            SyncItem forget = item(SyncStep::Forget, -1, r, record.outputPath);
            forget.reason = state == OutputState::Missing
                                ? "its source and its output are gone"
                                : "its source is gone; the output was changed since nemarro wrote "
                                  "it: left alone";
            removals.push_back(forget);
        }
    }

    std::vector<SyncItem> plan;
    for (std::size_t s = 0; s < sources.size(); ++s) {
        const SyncSource& source = sources[s];
        const int index = static_cast<int>(s);
        const int r = recordOf[s];
        if (r < 0) {
            if (!source.readable) {
                plan.push_back(item(SyncStep::Unreadable, index, -1, ""));
            } else if (movedFrom[s] >= 0) {
                const ManifestRecord& record = records[static_cast<std::size_t>(movedFrom[s])];
                SyncItem move = item(SyncStep::Move, index, movedFrom[s],
                                     nameOutput(source, target, record.outputPath, &names).path);
                move.oldOutputPath = record.outputPath;
                move.retag = record.tagFingerprint != source.tagFingerprint;
                plan.push_back(move);
            } else {
                const Naming naming = nameOutput(source, target, "", &names);
                if (naming.stranger) {
                    names.plan(naming.path); // no second source adopts it
                }
                plan.push_back(item(naming.stranger ? SyncStep::Adopt : SyncStep::Convert, index,
                                    -1, naming.path));
            }
            continue;
        }
        const ManifestRecord& record = records[static_cast<std::size_t>(r)];
        const OutputState state = outputState(record, facts.output(record.outputPath));
        SyncItem judged = item(SyncStep::Unchanged, index, r, record.outputPath);
        if (!needsProbe(source, &record, target, facts)) {
            judged.step = SyncStep::Unchanged;
        } else if (!source.readable) {
            judged.step = SyncStep::Unreadable;
        } else if (state == OutputState::Changed) {
            judged.step = SyncStep::Conflict;
            judged.reason = "the output was changed since nemarro wrote it: left alone";
        } else if (record.options != target.options ||
                   !fitsName(record.outputPath, source, target.extension)) {
            judged = renameOrConvert(source, index, r, record, state, target, &names);
        } else if (state == OutputState::Missing) {
            judged.step = SyncStep::Convert;
        } else if (state == OutputState::Stale ||
                   record.audioFingerprint != source.audioFingerprint) {
            judged.step = SyncStep::Replace;
        } else if (record.tagFingerprint != source.tagFingerprint) {
            judged.step = SyncStep::Retag;
        } else {
            judged.step = SyncStep::Touched;
        }
        plan.push_back(judged);
    }
    plan.insert(plan.end(), removals.begin(), removals.end());
    return plan;
}

std::string syncOptionsText(const ConversionProfile& profile) {
    char audio[kArgsSize] = "";
    char video[kArgsSize] = "";
    buildAudioArgs(selectedAudioCodec(profile), audio);
    if (hasVideo(profile)) {
        buildVideoArgs(selectedVideoCodec(profile), video);
    }
    const char* extension = selectedExtension(profile);
    return std::string(profile.name) + ": " + (extension != nullptr ? extension : "") + " " +
           video + audio;
}

const char* syncStepWord(SyncStep step) {
    switch (step) {
    case SyncStep::Unchanged:
    case SyncStep::Touched:
        return "unchanged";
    case SyncStep::Convert:
    case SyncStep::Replace:
        return "convert";
    case SyncStep::Retag:
        return "re-tag";
    case SyncStep::Move:
        return "move";
    case SyncStep::Adopt:
        return "adopt";
    case SyncStep::Remove:
        return "remove";
    case SyncStep::Forget:
        return "forget";
    case SyncStep::Conflict:
        return "conflict";
    case SyncStep::Unreadable:
        return "unreadable";
    }
    return "";
}
