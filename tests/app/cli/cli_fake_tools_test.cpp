// nemarro-cli against the fake encoder and prober, on every system (under Wine too, where
// there is no ffmpeg): a copy of the program with the fake beside it as cv.dat and pb.dat.
// Each source file is the prober's script for itself (the fake runs its last argument),
// and cv.dat.script is the encoder's part.
#include "child_process.h"
#include "path_limits.h"
#include "path_separator.h"
#include "pipe_io.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// What the prober answers for a file with two seconds of sound, and for one without.
const char* const kSoundProbe =
    "out [STREAM]\\ncodec_type=audio\\n[/STREAM]\\n[FORMAT]\\nduration=2.000000\\n[/FORMAT]\\n";
const char* const kSilentProbe =
    "out [STREAM]\\ncodec_type=video\\n[/STREAM]\\n[FORMAT]\\nduration=2.000000\\n[/FORMAT]\\n";
// An encoder that reaches the end of its two seconds and writes a file that, probed, says
// it holds them too.
const char* const kWholeEncoder = "err size=       1kB time=1.00 bitrate=   8.0kbits/s\\r\n"
                                  "output out [FORMAT]\\\\nduration=2.000000\\\\n[/FORMAT]\\\\n\n"
                                  "err size=       2kB time=2.00 bitrate=   8.0kbits/s\\n\n";
const char* const kFailingEncoder = "err Unknown encoder 'fake'\\n\nexit 1\n";

// Runs `arguments` to its end; the joined output lands in `output`. The exit code, or -1
// when the program did not start or ended by a signal.
int runToEnd(const std::vector<std::string>& arguments, std::string* output) {
    StartedChild child{};
    if (startProgram(arguments, &child) != 0)
        return -1;
    closePipe(&child.inputWrite);
    for (;;) {
        int waiting = 0;
        if (pipeBytesWaiting(child.outputRead, &waiting) != PipeResult::Ok)
            break;
        if (waiting == 0) {
            waitForPipes(&child.outputRead, 1, 20);
            continue;
        }
        char buffer[4096];
        int got = 0;
        if (readPipe(child.outputRead, buffer, waiting < 4096 ? waiting : 4096, &got) !=
            PipeResult::Ok)
            break;
        output->append(buffer, static_cast<std::size_t>(got));
    }
    closePipe(&child.outputRead);
    while (waitChild(child.process, 100) == 0) {
    }
    const ExitStatus status = childExitStatus(child.process);
    closeChild(&child.process);
    return status.bySignal ? -1 : status.code;
}

std::set<std::string> filesBelow(const std::string& folder) {
    std::set<std::string> files;
    if (fs::exists(folder))
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file())
                files.insert(fs::relative(entry.path(), folder).generic_string());
    return files;
}

struct FakeRunCase {
    const char* name;
    const char* encoder;                // cv.dat.script
    std::vector<std::string> arguments; // LIB and OUT stand for the library and the output
    std::vector<std::string> existing;  // in OUT before the run
    int status;
    std::set<std::string> outputs; // every file in OUT afterwards (LIB when no -o is given)
    const char* said;              // in the program's output
};

void PrintTo(const FakeRunCase& c, std::ostream* os) {
    *os << c.name;
}

class CliWithFakeTools : public testing::TestWithParam<FakeRunCase> {
protected:
    // bin/ holds the program and the fakes; lib/A/B/one.wav and lib/A/two.wav have sound,
    // lib/A/film.wav has none and lib/A/notes.txt is no media.
    void SetUp() override {
        fs::create_directories(m_scratch.file("bin"));
        const fs::path program(NEMARRO_CLI_PATH);
        m_program = m_scratch.file("bin") + kPathSeparator + program.filename().string();
        fs::copy_file(program, m_program);
        for (const char* tool : {"cv.dat", "pb.dat"})
            fs::copy_file(NEMARRO_FAKE_TOOL_PATH, m_scratch.file("bin") + kPathSeparator + tool);
        for (const char* name : {"lib/A/B/one.wav", "lib/A/two.wav"})
            writeSource(name, kSoundProbe);
        writeSource("lib/A/film.wav", kSilentProbe);
        writeSource("lib/A/notes.txt", "this is no script\n");
    }
    void writeSource(const std::string& name, const std::string& content) {
        const std::string path = local(m_scratch.file(name));
        fs::create_directories(fs::path(path).parent_path());
        writeFile(path, content);
    }
    std::string local(std::string path) const {
        for (char& c : path)
            if (c == '/')
                c = kPathSeparator;
        return path;
    }

    ScratchFolder m_scratch;
    std::string m_program;
};

TEST_P(CliWithFakeTools, LeaveTheFilesTheySay) {
    const FakeRunCase& c = GetParam();
    m_scratch.write(local("bin/cv.dat.script"), c.encoder);
    const std::string out = local(m_scratch.file("out"));
    for (const std::string& name : c.existing) {
        fs::create_directories(fs::path(local(out + "/" + name)).parent_path());
        writeFile(local(out + "/" + name), "mine");
    }
    std::vector<std::string> arguments{m_program};
    bool toOut = false;
    for (std::string a : c.arguments) {
        if (a.rfind("LIB", 0) == 0)
            a = local(m_scratch.file("lib") + a.substr(3));
        if (a.rfind("OUT", 0) == 0) {
            a = local(out + a.substr(3));
            toOut = true;
        }
        arguments.push_back(a);
    }
    std::string output;
    EXPECT_EQ(runToEnd(arguments, &output), c.status) << output;
    std::set<std::string> written = filesBelow(toOut ? out : m_scratch.file("lib"));
    if (!toOut) // only what the run added to the library
        for (const char* source : {"A/B/one.wav", "A/two.wav", "A/film.wav", "A/notes.txt"})
            written.erase(source);
    EXPECT_EQ(written, c.outputs) << output;
    EXPECT_NE(output.find(c.said), std::string::npos) << output;
    for (const std::string& name : c.existing)
        EXPECT_EQ(readFile(local(out + "/" + name)), "mine") << name;
}

INSTANTIATE_TEST_SUITE_P(
    Library, CliWithFakeTools,
    testing::Values(FakeRunCase{"TreeKeptNonAudioSkipped",
                                kWholeEncoder,
                                {"-o", "OUT", "LIB"},
                                {},
                                0,
                                {"A/B/one.mp3", "A/two.mp3"},
                                "2 converted, 0 failed, 2 skipped"},
                    // Without -o every output lands beside its source, never in the root folder.
                    FakeRunCase{"BesideTheSources",
                                kWholeEncoder,
                                {"LIB"},
                                {},
                                0,
                                {"A/B/one.mp3", "A/two.mp3"},
                                "2 converted"},
                    FakeRunCase{"TakenNameGetsCounter",
                                kWholeEncoder,
                                {"-j", "1", "-o", "OUT", "LIB/A/two.wav"},
                                {"two.mp3"},
                                0,
                                {"two.mp3", "two(0).mp3"},
                                "1 converted"},
                    // What stands at the name is no whole output: converted again beside it.
                    FakeRunCase{"SkipExistingConvertsWhatIsNotWhole",
                                kWholeEncoder,
                                {"--skip-existing", "-o", "OUT", "LIB/A"},
                                {"two.mp3"},
                                0,
                                {"B/one.mp3", "two.mp3", "two(0).mp3"},
                                "2 converted"},
                    FakeRunCase{"FailedEncoderNamesItsReason",
                                kFailingEncoder,
                                {"-o", "OUT", "LIB/A/two.wav"},
                                {},
                                1,
                                {},
                                "Unknown encoder 'fake'"},
                    FakeRunCase{"DryRunWritesNothing",
                                kWholeEncoder,
                                {"-n", "-o", "OUT", "LIB"},
                                {},
                                0,
                                {},
                                "would write"}),
    [](const testing::TestParamInfo<FakeRunCase>& param) { return std::string(param.param.name); });

// The program's own texts need no tools at all.
TEST_F(CliWithFakeTools, PrintsItsVersionAndItsProfiles) {
    std::string output;
    EXPECT_EQ(runToEnd({m_program, "--version"}, &output), 0);
    EXPECT_EQ(output.rfind("nemarro-cli ", 0), 0u) << output;
    output.clear();
    EXPECT_EQ(runToEnd({m_program, "--list-profiles"}, &output), 0);
    EXPECT_NE(output.find("MP3 - MPEG Layer-3 Audio"), std::string::npos) << output;
}

// A Windows path holds 259 bytes: an output path beyond them is refused, never cut.
TEST_F(CliWithFakeTools, RefusesAnOutputPathLongerThanThePlatformHolds) {
    m_scratch.write(local("bin/cv.dat.script"), kWholeEncoder);
    fs::create_directories(m_scratch.file("out"));
    const std::string deep = makeDeepFolder(m_scratch.file("out"), kPathSize - 4, "deep");
    ASSERT_FALSE(deep.empty());
    std::string output;
    EXPECT_EQ(runToEnd({m_program, "-o", deep, local(m_scratch.file("lib/A/two.wav"))}, &output), 1)
        << output;
    EXPECT_EQ(filesBelow(m_scratch.file("out")), std::set<std::string>{}) << output;
}

} // namespace
