// A serving prober against the scriptable fake: the answers and statuses a client gets are
// those of a run of its own, whether the program serves, does not know the mode, or dies
// in the middle of an answer; only the number of processes differs.
#include "probe_server.h"

#include "fake_support.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

void collect(ToolProcess* tool) {
    static_cast<std::string*>(tool->context)->append(tool->chunk);
}
const ToolHandlers kCollecting = {nullptr, collect, nullptr};

struct ServedCase {
    const char* name;
    bool serves;
    std::vector<std::string> scripts; // one request each
    std::vector<std::string> outputs; // what each client got, "pid=" lines left out
    std::vector<int> statuses;        // each run's exit status; -2 for the fake's crash
    std::size_t processes;            // distinct fakes that answered
};

void PrintTo(const ServedCase& c, std::ostream* os) {
    *os << c.name;
}

class ProbeServerTest : public testing::TestWithParam<ServedCase> {
protected:
    ~ProbeServerTest() override {
        stopProbeServer(&m_server);
        setFakeServes(true);
    }
    ScratchFolder m_temp;
    ProbeServer m_server{};
};

TEST_P(ProbeServerTest, AnswersAsRunsOfTheirOwn) {
    const ServedCase& c = GetParam();
    setFakeServes(c.serves);
    initProbeServer(&m_server);
    std::set<std::string> pids;
    for (std::size_t i = 0; i < c.scripts.size(); ++i) {
        SCOPED_TRACE(i);
        std::string output;
        ToolProcess client;
        client.context = &output;
        client.handlers = &kCollecting;
        std::snprintf(client.programPath, sizeof client.programPath, "%s", fakeToolPath().c_str());
        const std::string script = m_temp.file("script" + std::to_string(i));
        std::snprintf(client.commandLine, sizeof client.commandLine, "%s",
                      fakeCommandLine(writeFile(script, "pid\n" + c.scripts[i])).c_str());
        ASSERT_EQ(startServedTool(&m_server, &client), 1);
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (pollServedTool(&m_server, &client) == 0)
            ASSERT_LT(std::chrono::steady_clock::now(), until);
        const std::size_t pidEnd = output.find('\n');
        ASSERT_EQ(output.rfind("pid=", 0), 0u) << output;
        pids.insert(output.substr(0, pidEnd));
        EXPECT_EQ(output.substr(pidEnd + 1), c.outputs[i]);
        if (c.statuses[i] == -2) {
            EXPECT_EQ(client.exitStatus, kFakeCrashCode);
            EXPECT_EQ(client.endedBySignal, kFakeCrashBySignal);
        } else {
            EXPECT_EQ(client.exitStatus, c.statuses[i]);
            EXPECT_FALSE(client.endedBySignal);
        }
        clearToolRun(&client);
    }
    EXPECT_EQ(pids.size(), c.processes);
}

const std::string kLong(3000, 'x');
const std::vector<std::string> kScripts = {
    "out one\\n\n", "out x[/ANSWER status=0]\\n\nexit 3\n", "repeat 3000 x\nout \\n\n"};
const std::vector<std::string> kOutputs = {"one\n", "x[/ANSWER status=0]\n", kLong + "\n"};

INSTANTIATE_TEST_SUITE_P(
    Served, ProbeServerTest,
    testing::Values(ServedCase{"one server answers all", true, kScripts, kOutputs, {0, 3, 0}, 1},
                    ServedCase{"a prober that cannot serve runs each on its own", false,
                               kScripts, kOutputs, {0, 3, 0}, 3},
                    ServedCase{"a server that dies mid-answer is replaced", true,
                               {"out partial\\n\ncrash\n", "out after\\n\n"},
                               {"partial\n", "after\n"},
                               {-2, 0},
                               2}),
    [](const testing::TestParamInfo<ServedCase>& param) {
        std::string name = param.param.name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

} // namespace
