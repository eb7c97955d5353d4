// What the desktop hears of a run, against the fake encoder: the running row kept in view,
// the names screen readers read, the keys, and, on a private session bus with a stand-in
// notification service, the notice at the end of a run and the taskbar progress.
#include "window_fixture.h"

#include "job_list.h"
#include "manual.h"
#include "read_only_combo_box.h"
#include "shell_open.h"

#include <QAccessible>
#include <QComboBox>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>

namespace {

QString accessible(QWidget* widget, QAccessible::Text kind) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face == nullptr ? QStringLiteral("<none>") : face->text(kind);
}

// A session bus of the test's own, so that no notice reaches the desktop of whoever runs it.
class PrivateSessionBus : public ::testing::Environment {
public:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            return;
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
        if (m_daemon.waitForReadyRead(5000))
            address = QString::fromUtf8(m_daemon.readLine().trimmed());
        if (!address.isEmpty())
            qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    }
    void TearDown() override {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
    static inline QString address;

private:
    QProcess m_daemon;
};
[[maybe_unused]] auto* const g_bus = ::testing::AddGlobalTestEnvironment(new PrivateSessionBus);

// Stands in for the desktop's notification service and watches the launcher entry signal.
class DesktopStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList notices; // app name | icon | summary | body
    QList<QPair<double, bool>> progress;

public slots:
    uint Notify(const QString& app, uint, const QString& icon, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap&, int) {
        notices << app + '|' + icon + '|' + summary + '|' + body;
        return uint(notices.size());
    }
    void Update(const QString&, const QVariantMap& properties) {
        progress << qMakePair(properties.value("progress").toDouble(),
                              properties.value("progress-visible").toBool());
    }
};

class RunFeedbackTest : public WindowTest {};

TEST_F(RunFeedbackTest, RunningRowInViewNamesForScreenReadersAndKeys) {
    // Names: the list, the title buttons, and each combo by its current text.
    EXPECT_EQ(accessible(window().jobList(), QAccessible::Name), "Files");
    EXPECT_EQ(accessible(button(CMainDlg::IDC_MIN), QAccessible::Name), "Minimize");
    EXPECT_EQ(accessible(button(CMainDlg::IDC_CLOSE), QAccessible::Name), "Close");
    EXPECT_EQ(button(CMainDlg::IDC_MIN)->text(), "Min");
    QComboBox* profile = window().profileCombo();
    QComboBox* destination = window().destinationCombo();
    EXPECT_EQ(accessible(profile, QAccessible::Name), profile->currentText());
    EXPECT_EQ(accessible(profile, QAccessible::Description), "Profile");
    destination->setCurrentIndex(1);
    EXPECT_EQ(accessible(destination, QAccessible::Name),
              "Save in the same folder as the original file");
    EXPECT_EQ(accessible(destination, QAccessible::Description), "Destination");

    // Thirty rows, the first selected and in view; the run scrolls to each running row.
    for (int i = 0; i < 30; ++i)
        addJob(media("song" + std::to_string(i) + ".wav", 1), 1);
    QTreeWidget* list = window().jobList();
    list->topLevelItem(0)->setSelected(true);
    list->scrollToTop();
    encoderScript("out size= 1kB time=1.00 bitrate=1\\r\n");
    button(CMainDlg::IDC_START)->click();
    waitForIdle();
    const QRect last = list->visualItemRect(list->topLevelItem(29));
    EXPECT_TRUE(last.top() >= 0 && last.bottom() < list->viewport()->height()) << last.top();
    EXPECT_EQ(list->selectedItems(), QList<QTreeWidgetItem*>{list->topLevelItem(0)});

    // Keys: Ctrl+O and Delete do what their buttons do, and nothing while converting.
    QStringList opened;
    setShellOpener([&](const QUrl& url) { opened << url.toString(); });
    for (const ConversionState state : {ConversionState::Converting, ConversionState::Idle}) {
        window().setConversionState(state);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Delete);
        QTest::keyClick(&window(), Qt::Key_O, Qt::ControlModifier);
    }
    EXPECT_EQ(rowCount(), 29);
    EXPECT_EQ(m_chooserCalls, QStringList{"open"});
    // F1 opens the manual's contents, as HELP does, also while converting.
    QTest::keyClick(&window(), Qt::Key_F1);
    EXPECT_EQ(opened, QStringList{manualPage(kManualContents).toString()});
}

TEST_F(RunFeedbackTest, AnInactiveWindowNotifiesTheEndOfARunAndShowsProgress) {
    if (PrivateSessionBus::address.isEmpty())
        GTEST_SKIP() << "dbus-daemon is not installed";
    QDBusConnection service = QDBusConnection::connectToBus(PrivateSessionBus::address, "stand-in");
    ASSERT_TRUE(service.isConnected());
    DesktopStandIn standIn;
    ASSERT_TRUE(service.registerService("org.freedesktop.Notifications"));
    ASSERT_TRUE(service.registerObject("/org/freedesktop/Notifications", &standIn,
                                       QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.connect(QString(), QString(), "com.canonical.Unity.LauncherEntry", "Update",
                                &standIn, SLOT(Update(QString, QVariantMap))));

    addJob(media("a.wav", 100), 100);
    addJob(media("b & c.wav", 1000), 1000); // reaches 10 %: "Failed!"
    addJob(media("d.wav", 100), 100);
    encoderScript("out size= 1kB time=50.00 bitrate=1\\r\nsleep 120\nout size= 2kB time=100.00 "
                  "bitrate=1\\r\n");
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    button(CMainDlg::IDC_START)->click();
    waitForIdle();
    ASSERT_TRUE(waitUntil([&] { return !standIn.notices.isEmpty(); }, 5000));
    EXPECT_EQ(standIn.notices,
              QStringList{"Nemarro|nemarro|Nemarro: 2 converted, 1 failed|Failed: b &amp; c.wav"});
    const QTreeWidgetItem* failed = window().jobList()->topLevelItem(1); // its reason, read out
    EXPECT_EQ(failed->data(kColumnStatus, Qt::AccessibleDescriptionRole),
              failed->toolTip(kColumnStatus));
    EXPECT_FALSE(failed->toolTip(kColumnStatus).isEmpty());
    waitUntil([&] { return !standIn.progress.isEmpty() && !standIn.progress.back().second; }, 2000);
    // Rising while the run goes on, then taken off.
    ASSERT_GE(standIn.progress.size(), 4);
    EXPECT_EQ(standIn.progress.takeLast(), qMakePair(0.0, false));
    EXPECT_TRUE(std::is_sorted(standIn.progress.begin(), standIn.progress.end()));
    EXPECT_TRUE(std::all_of(standIn.progress.begin(), standIn.progress.end(),
                            [](auto p) { return p.second; }));
    EXPECT_GT(standIn.progress.back().first, 2.0 / 3.0);

    // In front, the window says nothing: the user sees the rows.
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    button(CMainDlg::IDC_START)->click();
    waitForIdle();
    QTest::qWait(100);
    EXPECT_EQ(standIn.notices.size(), 1);
}

} // namespace

#include "run_feedback_test.moc"
