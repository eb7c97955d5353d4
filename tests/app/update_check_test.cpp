// checkThread against a real server on 127.0.0.1, and the version comparison that
// decides on the update notice.
#include "test_http_server.h"
#include "update_check.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <ostream>
#include <string>

namespace {

class CheckThreadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(m_server.port(), 0) << "test server did not start";
        m_settings.versionAddress = m_server.url("/say/" + m_versionAnswer);
        m_settings.productCode = "27";
        m_settings.pingAddress = m_server.url("/say/ok");
        m_settings.productName = "Nemarro";
        m_settings.installTime = "1700000000";
        m_settings.folder = m_folder.path();
        m_settings.timeoutSeconds = 10;
    }

    // The server answers the version query with `answer` (percent-encoded in the path).
    void answerVersionWith(const std::string& answer) {
        m_settings.versionAddress = m_server.url("/say/" + answer);
    }

    TestHttpServer m_server;
    ScratchFolder m_folder;
    UpdateCheckSettings m_settings;
    std::string m_versionAnswer = "0123456789ABCDEFG1.7.30";
};

TEST_F(CheckThreadTest, FirstRunQueriesVersionThenPingsAndKeepsBothFiles) {
    checkThread(m_settings);
    const auto requests = m_server.requests();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ("/say/0123456789ABCDEFG1.7.30?soft=27", requests[0]);
    EXPECT_EQ("/say/ok?soft=Nemarro&time=1700000000&affiliate=", requests[1]);
    EXPECT_EQ("1.7.30", m_folder.read("version"));
    ASSERT_TRUE(m_folder.exists("install"));
    EXPECT_EQ("", m_folder.read("install"));
}

TEST_F(CheckThreadTest, SuppliedAffiliateIsSentEscaped) {
    m_settings.affiliate = "shop one";
    checkThread(m_settings);
    ASSERT_EQ(2u, m_server.requests().size());
    EXPECT_EQ("/say/ok?soft=Nemarro&time=1700000000&affiliate=shop%20one", m_server.requests()[1]);
}

TEST_F(CheckThreadTest, VersionIsKeptOnlyForAnswersOf18To30Characters) {
    struct Case {
        std::string answer;
        std::string kept; // content of "version" afterwards
    };
    const Case cases[] = {
        {"0123456789ABCDEFG", "old"},                // 17: too short
        {"0123456789ABCDEFG1", "1"},                 // 18: one-character version
        {"0123456789ABCDEFG1.7.30.123456", "1.7.30.123456"}, // 30
        {"0123456789ABCDEFG1.7.30.1234567", "old"},  // 31: too long
    };
    m_folder.write("install", "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        m_folder.write("version", "old");
        answerVersionWith(c.answer);
        checkThread(m_settings);
        EXPECT_EQ(c.kept, m_folder.read("version"));
    }
}

TEST_F(CheckThreadTest, PingIsNotSentWhileInstallMarkerExists) {
    m_folder.write("install", "");
    checkThread(m_settings);
    const auto requests = m_server.requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(0u, requests[0].find("/say/0123456789ABCDEFG"));
}

TEST_F(CheckThreadTest, OnlyAnExactOkCreatesTheMarker) {
    const std::string answers[] = {"OK", "Ok", "ok%0A", "%20ok", "okay", ""};
    for (const std::string& answer : answers) {
        SCOPED_TRACE(answer);
        m_settings.pingAddress = m_server.url("/say/" + answer);
        checkThread(m_settings);
        EXPECT_FALSE(m_folder.exists("install"));
    }
    m_settings.pingAddress = m_server.url("/say/ok");
    checkThread(m_settings);
    EXPECT_TRUE(m_folder.exists("install"));
}

TEST_F(CheckThreadTest, VersionAnswerOkWithEmptyPingAnswerCreatesNoMarker) {
    // One buffer serves both requests: the ping must be judged on its own answer.
    answerVersionWith("ok");
    m_settings.pingAddress = m_server.url("/say/");
    checkThread(m_settings);
    EXPECT_EQ(2u, m_server.requests().size());
    EXPECT_FALSE(m_folder.exists("install"));
}

TEST_F(CheckThreadTest, RedirectedPingIsNotFollowed) {
    m_settings.pingAddress = m_server.url("/redirect");
    checkThread(m_settings);
    EXPECT_EQ(2u, m_server.requests().size());
    EXPECT_FALSE(m_folder.exists("install"));
}

TEST_F(CheckThreadTest, ServerThatNeverAnswersIsCutAndNothingIsWritten) {
    m_settings.versionAddress = m_server.url("/silent");
    m_settings.pingAddress = m_server.url("/silent");
    m_settings.timeoutSeconds = 1;
    m_folder.write("version", "1.7.30");
    const auto start = std::chrono::steady_clock::now();
    checkThread(m_settings);
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(elapsed, 1.8);
    EXPECT_LT(elapsed, 4.0);
    EXPECT_EQ(2u, m_server.requests().size());
    EXPECT_EQ("1.7.30", m_folder.read("version"));
    EXPECT_FALSE(m_folder.exists("install"));
    // The version kept from an earlier run still brings the notice.
    std::string newVersion;
    EXPECT_TRUE(versionNoticeDue(m_folder.path(), "1.7.29", newVersion));
    EXPECT_EQ("1.7.30", newVersion);
}

struct NoticeCase {
    const char* name;
    const char* fileContent; // nullptr: no "version" file
    bool due;
};

// Keeps the test names that CTest lists readable and stable from run to run.
void PrintTo(const NoticeCase& c, std::ostream* out) { *out << c.name; }

class VersionNoticeTest : public ::testing::TestWithParam<NoticeCase> {
protected:
    ScratchFolder m_folder;
};

TEST_P(VersionNoticeTest, ComparesTheKeptVersionWithOurs) {
    const NoticeCase& c = GetParam();
    if (c.fileContent) {
        m_folder.write("version", c.fileContent);
    }
    std::string newVersion = "unchanged";
    EXPECT_EQ(c.due, versionNoticeDue(m_folder.path(), "1.7.29", newVersion));
    EXPECT_EQ(c.due ? std::string(c.fileContent) : "unchanged", newVersion);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VersionNoticeTest,
    ::testing::Values(NoticeCase{"NoFile", nullptr, false}, NoticeCase{"Empty", "", false},
                      NoticeCase{"Same", "1.7.29", false}, NoticeCase{"Newer", "1.7.30", true},
                      NoticeCase{"Older", "1.7.28", true},
                      NoticeCase{"Longer", "1.7.100", false},
                      NoticeCase{"Shorter", "1.7.2", false},
                      NoticeCase{"SameLengthLetter", "1.7.2X", true},
                      // six UTF-16 units in seven bytes: the window sees the same length
                      NoticeCase{"SameLengthNonAscii", "1.7.2\xC3\xA9", true},
                      NoticeCase{"LineEnd", "1.7.29\n", false}),
    [](const ::testing::TestParamInfo<NoticeCase>& param) { return std::string(param.param.name); });

TEST(VersionNotice, UnreadableVersionGivesNoNotice) {
    ScratchFolder folder;
    std::filesystem::create_directory(folder.file("version"));
    std::string newVersion;
    EXPECT_FALSE(versionNoticeDue(folder.path(), "1.7.29", newVersion));
}

} // namespace
