// Reading nemarro-cli's options: the profile by name or number, the three audio
// overrides checked against that profile's own choice lists, and the plain flags.
#include "cli_options.h"

#include "catalogue.h"
#include "choice_list.h"
#include "file_shard.h"
#include "summary_line.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

// One option: its long name, its letter (`shortForm` when it may be given as "-x" too)
// and whether it takes a value.
struct OptionRule {
    const char* name;
    char letter;
    bool shortForm;
    bool takesValue;
};

const OptionRule kOptions[] = {
    {"profile", 'p', true, true},     {"list-profiles", 'L', false, false},
    {"bitrate", 'b', true, true},     {"rate", 'r', true, true},
    {"channels", 'c', true, true},    {"output", 'o', true, true},
    {"jobs", 'j', true, true},        {"skip-existing", 'S', false, false},
    {"sync", 'Y', false, false},      {"dry-run", 'n', true, false},
    {"quiet", 'q', true, false},      {"help", 'h', true, false},
    {"version", 'V', true, false},    {"verify", 'v', false, false},
    {"no-verify", 'U', false, false}, {"json", 'J', false, false},
    {"files-from", 'F', false, true}, {"null", '0', false, false},
    {"shard", 'K', false, true},      {"name", 'N', false, true},
};

// The option `name` (`length` bytes) names: its whole name, or the start of exactly one.
const OptionRule* findLongOption(const char* name, std::size_t length) {
    const OptionRule* found = nullptr;
    int starts = 0;
    for (const OptionRule& rule : kOptions) {
        if (std::strncmp(rule.name, name, length) != 0)
            continue;
        if (rule.name[length] == '\0')
            return &rule;
        found = &rule;
        ++starts;
    }
    return starts == 1 ? found : nullptr;
}

const OptionRule* findShortOption(char letter) {
    for (const OptionRule& rule : kOptions)
        if (rule.shortForm && rule.letter == letter)
            return &rule;
    return nullptr;
}

// Equal letter for letter, ASCII letter case aside ("192k", "mono"), whatever the locale.
bool sameIgnoringCase(const char* a, const char* b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (lower(*a) != lower(*b))
            return false;
    return *a == *b;
}

// One option found on the command line, with its value when it takes one.
struct FoundOption {
    const OptionRule* rule;
    const char* value;
};

// Reads argv: options anywhere (before, between or after the sources), "--" ends them,
// a lone "-" is a source. Short options group ("-nq"), a value follows its letter or
// comes as the next argument; a long one's value follows "=" or comes next. False, with
// `error` set, at an unknown option or a value missing.
bool readArguments(int argc, char** argv, std::vector<FoundOption>* found,
                   std::vector<std::string>* sources, std::string* error) {
    bool onlySources = false;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (onlySources || argument[0] != '-' || argument[1] == '\0') {
            sources->emplace_back(argument);
            continue;
        }
        if (std::strcmp(argument, "--") == 0) {
            onlySources = true;
            continue;
        }
        if (argument[1] == '-') {
            const char* name = argument + 2;
            const char* equals = std::strchr(name, '=');
            const OptionRule* rule = findLongOption(
                name, equals != nullptr ? std::size_t(equals - name) : std::strlen(name));
            if (rule == nullptr || (equals != nullptr && !rule->takesValue)) {
                *error = std::string("unknown option ") + argument;
                return false;
            }
            const char* value = equals != nullptr ? equals + 1 : nullptr;
            if (rule->takesValue && value == nullptr) {
                if (i + 1 >= argc) {
                    *error = std::string("option ") + argument + " needs a value";
                    return false;
                }
                value = argv[++i];
            }
            found->push_back(FoundOption{rule, value});
            continue;
        }
        for (const char* letter = argument + 1; *letter != '\0'; ++letter) {
            const OptionRule* rule = findShortOption(*letter);
            if (rule == nullptr) {
                *error = std::string("unknown option ") + argument;
                return false;
            }
            if (!rule->takesValue) {
                found->push_back(FoundOption{rule, nullptr});
                continue;
            }
            const char* value = letter[1] != '\0' ? letter + 1 : nullptr;
            if (value == nullptr) {
                if (i + 1 >= argc) {
                    *error = std::string("option ") + argument + " needs a value";
                    return false;
                }
                value = argv[++i];
            }
            found->push_back(FoundOption{rule, value});
            break;
        }
    }
    return true;
}

// Every profile in catalogue order; --list-profiles numbers them from 1.
template <typename Visit> void forEachProfile(Visit visit) {
    int number = 0;
    for (ProfileCategory& category : g_categories) {
        for (int i = 0; i < category.profileCount; ++i) {
            visit(++number, *category.profiles[i]);
        }
    }
}

// A whole number in 1..limit, or 0.
int readCount(const char* text, int limit) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > limit) {
        return 0;
    }
    return static_cast<int>(value);
}

ConversionProfile* findProfileByNameOrNumber(const char* text) {
    ConversionProfile* found = nullptr;
    int wanted = readCount(text, 1 << 20);
    forEachProfile([&](int number, ConversionProfile& profile) {
        if (found == nullptr && (number == wanted || std::strcmp(profile.name, text) == 0)) {
            found = &profile;
        }
    });
    return found;
}

std::string choicesOf(ChoiceList list) {
    std::string text;
    for (int i = 0; i < choiceListCount(list); ++i) {
        text += (i == 0 ? "" : ", ") + std::string(choiceListEntry(list, i));
    }
    return text;
}

// Sets `index` to the entry of `list` that `value` names (letter case aside: "192k",
// "mono"); false when it names none.
bool chooseEntry(ChoiceList list, const char* value, int* index) {
    for (int i = 0; i < choiceListCount(list); ++i) {
        if (sameIgnoringCase(choiceListEntry(list, i), value)) {
            *index = i;
            return true;
        }
    }
    return false;
}

// "K/N" with 1 <= K <= N <= kMaxShards into the options; false when it is not that.
bool readShard(const char* text, CliOptions* options) {
    const char* slash = std::strchr(text, '/');
    if (slash == nullptr) {
        return false;
    }
    const std::string share(text, slash);
    options->shardCount = readCount(slash + 1, kMaxShards);
    options->shardIndex = readCount(share.c_str(), options->shardCount);
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    return options->shardCount != 0 && options->shardIndex != 0 && digit(share[0]) &&
           digit(slash[1]);
}

struct Override {
    const char* value = nullptr; // nullptr: not given
    const char* what;
};

// Left out of the command line, a sample rate is the source's own.
constexpr const char kSourceRate[] = "Auto\0";

// Unless given, the sample rate and the channels are the source's, as far as the codec
// can write them (ffmpeg and cv.dat take the nearest it can: 96000 Hz becomes 48000 Hz in
// MP3, 5.1 becomes stereo): a CD's 44100 Hz stays 44100 Hz, mono stays mono. A video
// profile keeps its own values: a device or a disc fixes the sound it plays.
void keepSourceFormat(CliOptions* options, bool rate, bool channels) {
    if (hasVideo(*options->profile) || (!rate && !channels))
        return;
    options->sourceFormatProfile = std::make_shared<ConversionProfile>(*options->profile);
    AudioCodecSettings& codec = selectedAudioCodec(*options->sourceFormatProfile);
    if (rate) {
        codec.sampleRates = kSourceRate;
        codec.sampleRateIndex = 0;
    }
    if (channels) // a list without "Auto" keeps its own choice
        chooseEntry(codec.channels, "Auto", &codec.channelsIndex);
    options->profile = options->sourceFormatProfile.get();
}

} // namespace

CliRequest parseCliOptions(int argc, char** argv, CliOptions* options, std::string* error) {
    const char* profileText = nullptr;
    Override bitRate{nullptr, "bit rate"};
    Override sampleRate{nullptr, "sample rate"};
    Override channels{nullptr, "channel setting"};
    bool list = false;
    int verify = -1; // --verify 1, --no-verify 0; else the kind of run decides
    const unsigned cores = std::thread::hardware_concurrency();
    options->jobs = cores == 0 ? 1 : static_cast<int>(cores > kMaxJobs ? kMaxJobs : cores);

    // The options before an unknown one still count, in their order: "-h --what" helps.
    std::vector<FoundOption> found;
    const bool read = readArguments(argc, argv, &found, &options->sources, error);
    for (const FoundOption& option : found) {
        const char* value = option.value;
        switch (option.rule->letter) {
        case 'p':
            profileText = value;
            break;
        case 'L':
            list = true;
            break;
        case 'b':
            bitRate.value = value;
            break;
        case 'r':
            sampleRate.value = value;
            break;
        case 'c':
            channels.value = value;
            break;
        case 'o':
            // Trailing separators are the engine's to drop (mirroredOutputFolder).
            options->outputFolder = value;
            if (options->outputFolder.empty()) {
                *error = "the output folder is empty";
                return CliRequest::Refused;
            }
            break;
        case 'j':
            options->jobs = readCount(value, kMaxJobs);
            if (options->jobs == 0) {
                *error = "--jobs takes a number from 1 to " + std::to_string(kMaxJobs) +
                         ", not \"" + value + "\"";
                return CliRequest::Refused;
            }
            break;
        case 'S':
            options->skipExisting = true;
            break;
        case 'Y':
            options->sync = true;
            break;
        case 'n':
            options->dryRun = true;
            break;
        case 'q':
            options->quiet = true;
            break;
        case 'v':
            verify = 1;
            break;
        case 'U':
            verify = 0;
            break;
        case 'J':
            options->json = true;
            break;
        case 'F':
            options->filesFrom = value;
            if (options->filesFrom.empty()) {
                *error = "--files-from needs a file, or - for standard input";
                return CliRequest::Refused;
            }
            break;
        case '0':
            options->nullSeparated = true;
            break;
        case 'K':
            if (!readShard(value, options)) {
                *error = std::string("--shard takes K/N with 1 <= K <= N <= ") +
                         std::to_string(kMaxShards) + ", not \"" + value + "\"";
                return CliRequest::Refused;
            }
            break;
        case 'N':
            options->named = true;
            if (!parseNamePattern(value, &options->namePattern, error)) {
                return CliRequest::Refused;
            }
            break;
        case 'h':
            return CliRequest::Help;
        case 'V':
            return CliRequest::Version;
        }
    }
    if (!read) {
        return CliRequest::Refused;
    }
    if (list) {
        return CliRequest::ListProfiles;
    }
    if (options->sources.empty() && options->filesFrom.empty()) {
        *error = "no file or folder given";
        return CliRequest::Refused;
    }
    if (options->nullSeparated && options->filesFrom.empty()) {
        *error = "--null says how the --files-from list is separated; no list was given";
        return CliRequest::Refused;
    }
    if (options->sync && options->outputFolder.empty()) {
        *error = "--sync needs the mirror to keep in step: -o MIRROR";
        return CliRequest::Refused;
    }
    if (options->sync && options->skipExisting) {
        *error =
            "--sync decides itself what to convert again; --skip-existing has no place with it";
        return CliRequest::Refused;
    }
    // A mirror holds only files that decoded in full, unless --no-verify says otherwise.
    options->verify = verify < 0 ? options->sync : verify == 1;

    options->profile =
        profileText == nullptr ? startProfile() : findProfileByNameOrNumber(profileText);
    if (options->profile == nullptr) {
        *error = std::string("no profile is called \"") + profileText +
                 "\" (--list-profiles shows names and numbers)";
        return CliRequest::Refused;
    }
    AudioCodecSettings& codec = selectedAudioCodec(*options->profile);
    struct {
        Override* given;
        ChoiceList list;
        int32_t* index;
    } settings[] = {{&bitRate, codec.bitRates, &codec.bitRateIndex},
                    {&sampleRate, codec.sampleRates, &codec.sampleRateIndex},
                    {&channels, codec.channels, &codec.channelsIndex}};
    for (auto& setting : settings) {
        int index = 0;
        if (setting.given->value == nullptr) {
            continue;
        }
        if (!chooseEntry(setting.list, setting.given->value, &index)) {
            *error = std::string("\"") + setting.given->value + "\" is not a " +
                     setting.given->what + " of \"" + options->profile->name + "\"; it takes " +
                     choicesOf(setting.list);
            return CliRequest::Refused;
        }
        *setting.index = index;
    }
    keepSourceFormat(options, sampleRate.value == nullptr, channels.value == nullptr);
    return CliRequest::Convert;
}

std::string usageText() {
    return "Usage: nemarro-cli [options] FILE|FOLDER...\n"
           "Converts audio files, and every file of a folder and the folders below it, with\n"
           "one of Nemarro's profiles, several files at once.\n"
           "\n"
           "  -p, --profile NAME|NUMBER  the profile (default: \"MP3 - MPEG Layer-3 Audio\")\n"
           "      --list-profiles        number, category, name and settings of every profile\n"
           "  -b, --bitrate VALUE        the bit rate, one of the profile's own (\"192K\")\n"
           "  -r, --rate VALUE           the sample rate, one of the profile's own (\"44100\")\n"
           "  -c, --channels VALUE       the channels, one of the profile's own (\"Mono\")\n"
           "  -o, --output DIR           write into DIR, the tree below each given folder\n"
           "                             recreated (default: beside each source)\n"
           "  -j, --jobs N               files converted at once (default: the cores, " +
           std::to_string(std::thread::hardware_concurrency()) +
           " here)\n"
           "      --skip-existing        skip a file whose output name exists already\n"
           "                             (default: a taken name gets name(0), name(1), ...)\n"
           "      --sync                 keep DIR (-o) a copy of the sources: convert what is\n"
           "                             new or changed, re-tag, move and remove what changed\n"
           "                             so, leave the rest; DIR/.nemarro keeps the record\n"
           "  -n, --dry-run              say what would be written; write nothing\n"
           "  -q, --quiet                print only failures\n"
           "      --verify               decode each output in full: it must play cleanly\n"
           "                             to its end, else it fails (on with --sync)\n"
           "      --no-verify            with --sync: do not decode the outputs\n"
           "      --json                 one JSON object a line on standard output for each\n"
           "                             file and a last one with the counts; the lines\n"
           "                             for a person go to standard error\n"
           "      --files-from FILE      convert the paths listed in FILE too, one a line\n"
           "                             (- reads standard input)\n"
           "      --null                 the list's paths end in NUL (find -print0)\n"
           "      --shard K/N            take only share K of N of the files, so N runs\n"
           "                             split a library (on several machines too)\n"
           "      --name PATTERN         name each output from its tags below its folder,\n"
           "                             e.g. \"{albumartist}/{album}/{track:02} - {title}\"\n"
           "  -h, --help                 this text\n"
           "  -V, --version              the version\n"
           "\n"
           "Unless -r or -c is given, an audio profile keeps the source's sample rate and\n"
           "channels, as far as the codec can write them.\n"
           "Files that are not media with sound are skipped. An output gets its name only\n"
           "when whole. Ctrl+C lets every running file finish what it has written and stops:\n"
           "each shorter, valid file is kept as \"NAME (stopped)\" (with --sync, dropped).\n"
           "Exit status: 0 all converted, 1 a file failed, 2 bad usage, 130 interrupted.\n";
}

std::string profileListText() {
    std::string text;
    ConversionProfile* saved = currentProfile;
    forEachProfile([&](int number, ConversionProfile& profile) {
        currentProfile = &profile; // the summary line describes the current profile
        char summary[kSummaryLineSize];
        profileSummaryLine(summary);
        const std::size_t nameLength = std::strlen(profile.name);
        const char* settings =
            summary + (std::strncmp(summary, profile.name, nameLength) == 0 ? nameLength : 0);
        while (*settings == ' ') {
            ++settings;
        }
        char line[kSummaryLineSize + 128];
        std::snprintf(line, sizeof line, "%3d  %-22s  %s  %s\n", number, profile.category->name,
                      profile.name, settings);
        text += line;
    });
    currentProfile = saved;
    return text;
}
