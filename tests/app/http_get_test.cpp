// httpGet against a real server on 127.0.0.1: the query on the wire, the copy-out,
// redirects, the body bound and the time-out.
#include "http_get.h"
#include "test_http_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class HttpGetTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_GT(m_server.port(), 0) << "test server did not start"; }

    // GET with no pairs into `m_answer`; returns httpGet's result.
    int get(const std::string& path, long timeout = 10) {
        const QueryPair none[] = {{"", ""}};
        return httpGet(m_answer, sizeof m_answer, m_server.url(path).c_str(), timeout, none);
    }

    TestHttpServer m_server;
    char m_answer[1024] = {};
};

TEST_F(HttpGetTest, QueryValuesAreEscapedAndPairsKeepTheirOrder) {
    const QueryPair pairs[] = {{"soft", "27"},
                               {"name", "a b&c/d\xC3\xA9"},
                               {"empty", ""},
                               {"", "never sent"}};
    ASSERT_EQ(1, httpGet(m_answer, sizeof m_answer, m_server.url("/say/hello").c_str(), 10, pairs));
    EXPECT_STREQ("hello", m_answer);
    ASSERT_EQ(1u, m_server.requests().size());
    EXPECT_EQ("/say/hello?soft=27&name=a%20b%26c%2Fd%C3%A9&empty=", m_server.requests()[0]);
}

TEST_F(HttpGetTest, WithoutPairsTheAddressIsSentAlone) {
    ASSERT_EQ(1, get("/say/x"));
    ASSERT_EQ(1u, m_server.requests().size());
    EXPECT_EQ("/say/x", m_server.requests()[0]);
}

TEST_F(HttpGetTest, CopiesAtMostSizeMinusOneBytes) {
    char small[4] = {'z', 'z', 'z', 'z'};
    const QueryPair none[] = {{"", ""}};
    ASSERT_EQ(1, httpGet(small, sizeof small, m_server.url("/say/abcdef").c_str(), 10, none));
    EXPECT_STREQ("abc", small);
}

TEST_F(HttpGetTest, AnEmptyBodyLeavesNoOlderTextInTheBuffer) {
    std::strcpy(m_answer, "ok");
    ASSERT_EQ(1, get("/say/"));
    EXPECT_STREQ("", m_answer);
}

TEST_F(HttpGetTest, StatusCodeIsNotExamined) {
    EXPECT_EQ(1, get("/nowhere"));
    EXPECT_STREQ("", m_answer);
}

TEST_F(HttpGetTest, RedirectIsNotFollowed) {
    std::strcpy(m_answer, "stale");
    ASSERT_EQ(1, get("/redirect"));
    EXPECT_STREQ("", m_answer);
    ASSERT_EQ(1u, m_server.requests().size());
    EXPECT_EQ("/redirect", m_server.requests()[0]);
}

TEST_F(HttpGetTest, BodyUpToTheBoundIsAcceptedAndOneByteMoreFails) {
    EXPECT_EQ(1, get("/body/" + std::to_string(kMaxResponseBody)));
    EXPECT_EQ(sizeof m_answer - 1, std::strlen(m_answer));
    EXPECT_EQ(0, get("/body/" + std::to_string(kMaxResponseBody + 1)));
}

TEST_F(HttpGetTest, EndlessBodyIsCutAtTheBoundNotByTheTimeOut) {
    const auto start = Clock::now();
    EXPECT_EQ(0, get("/endless", 20));
    EXPECT_LT(secondsSince(start), 5.0);
    EXPECT_STREQ("", m_answer);
}

TEST_F(HttpGetTest, ServerThatNeverAnswersIsCutByTheTimeOut) {
    const auto start = Clock::now();
    EXPECT_EQ(0, get("/silent", 1));
    const double elapsed = secondsSince(start);
    EXPECT_GE(elapsed, 0.9);
    EXPECT_LT(elapsed, 3.0);
}

TEST_F(HttpGetTest, AddressThatWouldNotFitIsRefusedUnsent) {
    const std::string longValue(kMaxAddressLength, 'v');
    const QueryPair pairs[] = {{"v", longValue.c_str()}, {"", ""}};
    std::strcpy(m_answer, "stale");
    EXPECT_EQ(0, httpGet(m_answer, sizeof m_answer, m_server.url("/say/ok").c_str(), 10, pairs));
    EXPECT_STREQ("", m_answer);
    EXPECT_TRUE(m_server.requests().empty());
}

} // namespace
