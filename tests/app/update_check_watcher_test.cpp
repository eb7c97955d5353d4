// The window's side of the update check, offscreen, against a server on 127.0.0.1:
// the poll timer, the notice and its answers, the main window's start-up handing the
// string table's texts to the check, and a window that never waits for the network.
#include "main_dlg.h"
#include "shell_open.h"
#include "string_table.h"
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

// What a notice showed.
struct SeenNotice {
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

class UpdateCheckUiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(m_server.port(), 0) << "test server did not start";
        m_previousOpener = setShellOpener([this](const QUrl& url) { m_opened.push_back(url); });
    }
    void TearDown() override {
        if (m_noticeWatch) {
            m_noticeWatch->stop();
        }
        setShellOpener(m_previousOpener);
    }

    // Answers every notice that comes up with `answer`, noting what it showed.
    void answerNoticesWith(QMessageBox::StandardButton answer) {
        m_noticeWatch = std::make_unique<QTimer>();
        QObject::connect(m_noticeWatch.get(), &QTimer::timeout, [this, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                return;
            }
            m_notices.push_back({box->windowTitle(), box->text(), box->standardButtons(),
                                 box->icon()});
            box->button(answer)->click();
        });
        m_noticeWatch->start(10);
    }

    TestHttpServer m_server;
    ScratchFolder m_folder;
    std::unique_ptr<QTimer> m_noticeWatch;
    std::vector<SeenNotice> m_notices;
    std::vector<QUrl> m_opened;
    ShellOpener m_previousOpener;
};

class UpdateCheckWatcherTest : public UpdateCheckUiTest {
protected:
    void SetUp() override {
        UpdateCheckUiTest::SetUp();
        m_settings.versionAddress = m_server.url("/say/short"); // a failed check
        m_settings.productCode = "27";
        m_settings.pingAddress = m_server.url("/say/ok");
        m_settings.productName = "Nemarro";
        m_settings.folder = m_folder.path();
        m_settings.timeoutSeconds = 10;
        m_folder.write("install", "");
        m_watcher = new UpdateCheckWatcher(&m_window);
    }

    bool runUntilPollingStops() {
        return QTest::qWaitFor([this] { return !m_watcher->isPolling(); }, 5000);
    }

    UpdateCheckSettings m_settings;
    const UpdateNoticeTexts m_texts{"1.7.29", "Find new version,update or not?",
                                    "https://www.nemarro.example/audio-converter/"};
    QWidget m_window;
    UpdateCheckWatcher* m_watcher = nullptr; // a child of m_window
};

TEST_F(UpdateCheckWatcherTest, KeptNewerVersionBringsTheNoticeAndYesOpensThePage) {
    m_folder.write("version", "1.7.30");
    answerNoticesWith(QMessageBox::Yes);
    ASSERT_TRUE(m_watcher->start(m_settings, m_texts));
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
    QTest::qWait(100);
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

// The main window starts the check at start-up with the string table's texts.
class MainDlgUpdateCheckTest : public UpdateCheckUiTest {
protected:
    void SetUp() override {
        UpdateCheckUiTest::SetUp();
        m_previousHook = setUpdateCheckSettingsHook([this](UpdateCheckSettings& settings) {
            m_handedOver = settings;
            settings.versionAddress = m_server.url(m_versionPath);
            settings.pingAddress = m_server.url(m_pingPath);
            settings.timeoutSeconds = m_timeoutSeconds;
        });
    }
    void TearDown() override {
        m_dialog.reset();
        setUpdateCheckSettingsHook(m_previousHook);
        UpdateCheckUiTest::TearDown();
    }

    CMainDlg& open(const std::string& moduleFolder = {}) {
        m_dialog = std::make_unique<CMainDlg>(
            (moduleFolder.empty() ? m_folder.path() : moduleFolder).c_str());
        m_dialog->show();
        return *m_dialog;
    }
    QTimer* checkDoneTimer() const { return m_dialog->findChild<QTimer*>("TIMER_CHECK_DONE"); }

    std::string m_versionPath = "/say/0123456789ABCDEFG1.7.30";
    std::string m_pingPath = "/say/ok";
    long m_timeoutSeconds = 10;
    UpdateCheckSettings m_handedOver;
    UpdateCheckSettingsHook m_previousHook;
    std::unique_ptr<CMainDlg> m_dialog;
};

TEST_F(MainDlgUpdateCheckTest, StartUpChecksWithTheStringTableAndNoticesOnce) {
    m_folder.write("install.date", "1700000000");
    answerNoticesWith(QMessageBox::Yes);
    CMainDlg& dialog = open();
    EXPECT_EQ(loadString(IDS_VERSION_QUERY_URL).toStdString(), m_handedOver.versionAddress);
    EXPECT_EQ(loadString(IDS_INSTALL_PING_URL).toStdString(), m_handedOver.pingAddress);
    EXPECT_EQ("27", m_handedOver.productCode);
    EXPECT_EQ("Nemarro", m_handedOver.productName);
    EXPECT_EQ(kCheckTimeoutSeconds, m_handedOver.timeoutSeconds);
    EXPECT_EQ(m_folder.path(), m_handedOver.folder);

    QTimer* timer = checkDoneTimer();
    ASSERT_NE(nullptr, timer);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(kCheckDonePeriodMs, timer->interval());
    ASSERT_TRUE(QTest::qWaitFor([timer] { return !timer->isActive(); }, 5000));
    QTest::qWait(300);
    EXPECT_FALSE(timer->isActive());

    const auto requests = m_server.requests();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ(m_versionPath + "?soft=27", requests[0]);
    EXPECT_EQ("/say/ok?soft=Nemarro&time=1700000000&affiliate=", requests[1]);
    EXPECT_TRUE(m_folder.exists("install"));
    ASSERT_EQ(1u, m_notices.size());
    EXPECT_EQ(loadString(IDS_NEW_VERSION) + " : 1.7.30", m_notices[0].text);
    ASSERT_EQ(1u, m_opened.size());
    EXPECT_EQ(QUrl(loadString(IDS_WEB_PAGE)), m_opened[0]);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(MainDlgUpdateCheckTest, StartsWhenNoFolderCanBeWritten) {
    // A program folder that does not exist and a data folder below a plain file: the check
    // still asks and pings, with the program's folder for its files.
    m_folder.write("plain", "");
    const QByteArray savedDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(m_folder.path() + "/plain/data"));
    const std::string moduleFolder = m_folder.path() + "/missing";
    open(moduleFolder);
    if (savedDataHome.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", savedDataHome);
    EXPECT_EQ(moduleFolder, m_handedOver.folder);
    QTimer* timer = checkDoneTimer();
    ASSERT_NE(nullptr, timer);
    ASSERT_TRUE(QTest::qWaitFor([timer] { return !timer->isActive(); }, 5000));
    EXPECT_EQ(2u, m_server.requests().size());
}

TEST_F(MainDlgUpdateCheckTest, WindowStaysResponsiveWhileTheServerIsSilent) {
    m_versionPath = m_pingPath = "/silent";
    m_timeoutSeconds = 1;
    // A 10 ms heartbeat on the user-interface thread: its longest gap shows any wait.
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longestGap = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, clock.elapsed() - last);
        last = clock.elapsed();
    });
    clock.start(); // the check starts inside the window's start-up
    open();
    last = clock.elapsed();
    heartbeat.start(10);
    QTimer* timer = checkDoneTimer();
    ASSERT_NE(nullptr, timer);
    ASSERT_TRUE(QTest::qWaitFor([timer] { return !timer->isActive(); }, 6000));
    const qint64 stoppedAfter = clock.elapsed();
    EXPECT_GE(stoppedAfter, 1800); // two requests of one second each
    EXPECT_LT(stoppedAfter, 4000);
    EXPECT_LT(longestGap, 200);
    EXPECT_EQ(2u, m_server.requests().size());
    EXPECT_FALSE(m_folder.exists("version"));
    EXPECT_FALSE(m_folder.exists("install"));
}

TEST_F(MainDlgUpdateCheckTest, ClosingWhileTheCheckWaitsDoesNotWait) {
    m_versionPath = "/silent";
    m_timeoutSeconds = 30;
    open();
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_server.requests().size() == 1; }, 3000));
    m_dialog->close();
    QElapsedTimer clock;
    clock.start();
    m_dialog.reset();
    EXPECT_LT(clock.elapsed(), 200);
}

} // namespace
