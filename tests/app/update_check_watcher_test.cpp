// The window's side of the update check, offscreen: the poll timer, the notice and its
// answers, and a window that stays responsive while the check waits for the network.
#include "test_http_server.h"
#include "update_check_watcher.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

namespace {

// What the notice showed, and the answer given to it.
struct SeenNotice {
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

class UpdateCheckWatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(m_server.port(), 0) << "test server did not start";
        m_settings.versionAddress = m_server.url("/say/short"); // a failed check
        m_settings.productCode = "27";
        m_settings.pingAddress = m_server.url("/say/ok");
        m_settings.productName = "Nemarro";
        m_settings.folder = m_folder.path();
        m_settings.timeoutSeconds = 10;
        m_folder.write("install", "");
        m_watcher = std::make_unique<UpdateCheckWatcher>(&m_window);
        m_watcher->setUrlOpener([this](const QUrl& url) { m_opened.push_back(url); });
    }

    // Answers every notice that comes up with `answer`, noting what it showed.
    void answerNoticesWith(QMessageBox::StandardButton answer) {
        auto* watch = new QTimer(&m_window);
        QObject::connect(watch, &QTimer::timeout, [this, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                return;
            }
            m_notices.push_back({box->windowTitle(), box->text(), box->standardButtons(),
                                 box->icon()});
            box->button(answer)->click();
        });
        watch->start(10);
    }

    bool runUntilPollingStops(int timeoutMs = 5000) {
        return QTest::qWaitFor([this] { return !m_watcher->isPolling(); }, timeoutMs);
    }

    TestHttpServer m_server;
    ScratchFolder m_folder;
    UpdateCheckSettings m_settings;
    const UpdateNoticeTexts m_texts{"1.7.29", "Find new version,update or not?",
                                    "https://www.nemarro.example/audio-converter/"};
    QWidget m_window;
    std::unique_ptr<UpdateCheckWatcher> m_watcher;
    std::vector<QUrl> m_opened;
    std::vector<SeenNotice> m_notices;
};

TEST_F(UpdateCheckWatcherTest, KeptNewerVersionBringsTheNoticeAndYesOpensThePage) {
    m_folder.write("version", "1.7.30");
    answerNoticesWith(QMessageBox::Yes);
    ASSERT_TRUE(m_watcher->start(m_settings, m_texts));
    auto* timer = m_window.findChild<QTimer*>("TIMER_CHECK_DONE");
    ASSERT_NE(nullptr, timer);
    EXPECT_EQ(kCheckDonePeriodMs, timer->interval());
    ASSERT_TRUE(runUntilPollingStops());
    QTest::qWait(300); // the notice is answered; no second one may follow
    ASSERT_EQ(1u, m_notices.size());
    EXPECT_EQ("New Version", m_notices[0].title);
    EXPECT_EQ("Find new version,update or not? : 1.7.30", m_notices[0].text);
    EXPECT_EQ(QMessageBox::Yes | QMessageBox::No, m_notices[0].buttons);
    EXPECT_EQ(QMessageBox::NoIcon, m_notices[0].icon);
    ASSERT_EQ(1u, m_opened.size());
    EXPECT_EQ(QUrl(m_texts.webPage), m_opened[0]);
}

TEST_F(UpdateCheckWatcherTest, NoOpensNothing) {
    answerNoticesWith(QMessageBox::No);
    m_settings.versionAddress = m_server.url("/say/0123456789ABCDEFG1.7.28");
    ASSERT_TRUE(m_watcher->start(m_settings, m_texts));
    ASSERT_TRUE(runUntilPollingStops());
    ASSERT_EQ(1u, m_notices.size());
    EXPECT_EQ("Find new version,update or not? : 1.7.28", m_notices[0].text);
    EXPECT_TRUE(m_opened.empty());
}

TEST_F(UpdateCheckWatcherTest, OwnVersionAnnouncedBringsNoNotice) {
    answerNoticesWith(QMessageBox::Yes);
    m_settings.versionAddress = m_server.url("/say/0123456789ABCDEFG1.7.29");
    ASSERT_TRUE(m_watcher->start(m_settings, m_texts));
    ASSERT_TRUE(runUntilPollingStops());
    QTest::qWait(200);
    EXPECT_EQ("1.7.29", m_folder.read("version"));
    EXPECT_TRUE(m_notices.empty());
}

TEST_F(UpdateCheckWatcherTest, WindowStaysResponsiveWhileTheServerIsSilent) {
    m_settings.versionAddress = m_server.url("/silent");
    m_settings.pingAddress = m_server.url("/silent");
    m_settings.timeoutSeconds = 1;
    m_folder.remove("install");
    // A 10 ms heartbeat on the user-interface thread: its longest gap shows any wait.
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longestGap = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, clock.elapsed() - last);
        last = clock.elapsed();
    });
    clock.start();
    heartbeat.start(10);
    ASSERT_TRUE(m_watcher->start(m_settings, m_texts));
    EXPECT_TRUE(m_watcher->isPolling());
    ASSERT_TRUE(runUntilPollingStops(6000));
    const qint64 stoppedAfter = clock.elapsed();
    EXPECT_GE(stoppedAfter, 1800); // two requests of one second each
    EXPECT_LT(stoppedAfter, 4000);
    EXPECT_LT(longestGap, 200);
    EXPECT_FALSE(m_folder.exists("version"));
    EXPECT_FALSE(m_folder.exists("install"));
}

TEST_F(UpdateCheckWatcherTest, ClosingWhileTheCheckWaitsDoesNotWait) {
    m_settings.versionAddress = m_server.url("/silent");
    m_settings.timeoutSeconds = 30;
    ASSERT_TRUE(m_watcher->start(m_settings, m_texts));
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_server.requests().size() == 1; }, 3000));
    QElapsedTimer clock;
    clock.start();
    m_watcher.reset();
    EXPECT_LT(clock.elapsed(), 100);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
