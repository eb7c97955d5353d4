// The window's conversion loop against the fake encoder: Start and a whole run with its
// live percentage and slider, Stop, the close request, and the error box of an output
// folder that cannot be written. The run's verdicts are the engine's (conversion_queue_test).
#include "window_fixture.h"

#include "bitmap_slider.h"
#include "job_list.h"
#include "tool_process.h"

#include <QMessageBox>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <cstdlib>
#include <map>

namespace {

class ConversionTest : public WindowTest {
protected:
    bool startVisible() { return button(CMainDlg::IDC_START)->isVisible(); }
    bool stopVisible() { return button(CMainDlg::IDC_STOP)->isVisible(); }

    // Samples the status column every few milliseconds until the run is over: which
    // texts each row showed, in order, and the slider positions seen.
    void recordRun(int timeoutMs = 20000) {
        QTimer sampler;
        sampler.setInterval(2);
        QObject::connect(&sampler, &QTimer::timeout, [this] { sample(); });
        sampler.start();
        waitForIdle(timeoutMs);
        sampler.stop();
        sample();
    }
    void sample() {
        for (int row = 0; row < rowCount(); ++row) {
            QStringList& seen = m_statuses[row];
            const QString text = cell(row, kColumnStatus);
            if (seen.isEmpty() || seen.back() != text)
                seen << text;
            if (text.endsWith(QLatin1Char('%')) && !m_firstPercentAt.count(row))
                m_firstPercentAt[row] = m_samples;
        }
        const int position = window().progressSlider()->GetPos();
        if (m_positions.isEmpty() || m_positions.back() != position)
            m_positions << position;
        ++m_samples;
    }

    std::map<int, QStringList> m_statuses;
    std::map<int, int> m_firstPercentAt;
    QList<int> m_positions;
    int m_samples = 0;
};

TEST_F(ConversionTest, StartConvertsEveryRowAgainFromTheFirstShowingItsProgress) {
    addJob(media("first.mp3", 100), 100);
    addJob(media("second.mp3", 100), 100);
    window().setCellText(0, kColumnStatus, "Success!");
    encoderScript("out size= 1kB time=0.35 bitrate=1\\r\nsleep 300\n"
                  "out size= 1kB time=42.10 bitrate=1\\r\nsleep 300\n"
                  "out size= 2kB time=100.00 bitrate=1\\r\n");

    button(CMainDlg::IDC_START)->click();
    EXPECT_EQ(window().conversionState(), ConversionState::Converting);
    EXPECT_FALSE(startVisible());
    EXPECT_TRUE(stopVisible());
    recordRun();

    EXPECT_EQ(column(kColumnStatus), QStringList({"Success!", "Success!"}));
    ASSERT_TRUE(m_firstPercentAt.count(0) && m_firstPercentAt.count(1));
    EXPECT_LT(m_firstPercentAt[0], m_firstPercentAt[1]);
    for (const char* text : {"00.35%", "42.10%"})
        EXPECT_TRUE(m_statuses[0].contains(text)) << m_statuses[0].join(",").toStdString();
    // Hundredths of a percent, truncated from the single-precision percentage.
    auto seenNear = [this](int position) {
        return std::any_of(m_positions.begin(), m_positions.end(),
                           [position](int value) { return std::abs(value - position) <= 1; });
    };
    EXPECT_TRUE(seenNear(35));
    EXPECT_TRUE(seenNear(4210));
    EXPECT_EQ(m_positions.back(), 0); // back at the start when the run is over
    EXPECT_TRUE(startVisible());
    EXPECT_FALSE(stopVisible());
}

TEST_F(ConversionTest, StopDuringTheSecondOfThreeLeavesTheThirdUntouched) {
    addJob(media("one.mp3", 100), 100);
    addJob(media("two.mp3", 100), 100);
    addJob(media("three.mp3", 100), 100);
    // Each run shows 30 %, then waits for "q" for 2 s; unasked it finishes the file.
    encoderScript("out size= 1kB time=30.00 bitrate=1\\r\nwaitquit 2000 0\n"
                  "out size= 1kB time=100.00 bitrate=1\\r\n");
    button(CMainDlg::IDC_START)->click();
    ASSERT_TRUE(waitUntil([this] { return cell(1, kColumnStatus) == "30.00%"; }));
    EXPECT_EQ(cell(0, kColumnStatus), "Success!");
    // A second Start while one converts starts no second encoder.
    const int running = window().conversionRun().encoder.processId;
    button(CMainDlg::IDC_START)->click();
    EXPECT_EQ(window().conversionRun().encoder.processId, running);

    button(CMainDlg::IDC_STOP)->click();
    waitForIdle(2000);

    EXPECT_EQ(column(kColumnStatus), QStringList({"Success!", "Failed!", "Ready"}));
    EXPECT_TRUE(startVisible());
    EXPECT_FALSE(stopVisible());
    EXPECT_EQ(window().conversionRun().encoder.exitStatus, 0); // it quit on request, it did not crash
}

TEST_F(ConversionTest, ClosingDuringARunAsksAndNoKeepsItGoing) {
    addJob(media("one.mp3", 100), 100);
    encoderScript("out size= 1kB time=10.00 bitrate=1\\r\nsleep 500\n"
                  "out size= 1kB time=100.00 bitrate=1\\r\n");
    button(CMainDlg::IDC_START)->click();
    SeenBox seen;
    m_watchers.push_back(std::make_unique<ModalWatcher>([&seen](QWidget* open) {
        auto* box = qobject_cast<QMessageBox*>(open);
        seen = describe(box);
        if (box != nullptr)
            box->button(QMessageBox::No)->click();
    }));
    button(CMainDlg::IDC_CLOSE)->click();

    EXPECT_EQ(seen.title, "!Waring!");
    EXPECT_EQ(seen.text, "Please stop ripping first and try again.\n\nDo you want to stop now?");
    EXPECT_EQ(seen.buttons, int(QMessageBox::Yes | QMessageBox::No));
    EXPECT_EQ(seen.icon, int(QMessageBox::Warning));
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(window().conversionState(), ConversionState::Converting);
    waitForIdle();
    EXPECT_EQ(cell(0, kColumnStatus), "Success!");
}

TEST_F(ConversionTest, ClosingDuringARunAndAnsweringYesClosesAtOnceAndStopsTheEncoder) {
    addJob(media("one.mp3", 100), 100);
    addJob(media("two.mp3", 100), 100);
    encoderScript("out size= 1kB time=10.00 bitrate=1\\r\nwaitquit 5000 0\n");
    button(CMainDlg::IDC_START)->click();
    m_watchers.push_back(std::make_unique<ModalWatcher>([](QWidget* open) {
        if (auto* box = qobject_cast<QMessageBox*>(open))
            box->button(QMessageBox::Yes)->click();
    }));
    // The window menu's Close and the close button both end in the close request.
    EXPECT_TRUE(window().close());
    EXPECT_FALSE(window().isVisible());
    // The encoder was asked to quit: it ends well before its 5 s, and no next job starts.
    waitForIdle(2000);
    EXPECT_EQ(cell(1, kColumnStatus), "Ready");
}

TEST_F(ConversionTest, ClosingWhileIdleAsksNothing) {
    ModalWatcher watcher([](QWidget* open) { open->close(); });
    button(CMainDlg::IDC_CLOSE)->click();
    EXPECT_FALSE(window().isVisible());
    EXPECT_FALSE(watcher.seen());
}

TEST_F(ConversionTest, AnUnwritableDestinationShowsTheErrorAndStartsNothing) {
    addJob(media("one.mp3", 100), 100);
    // No such folder: as unwritable as read-only media, also for root.
    const std::string folder = m_module.file("gone");
    ASSERT_EQ(setDestinationForAll(folder.c_str()), 0);
    encoderScript("out size= 1kB time=100.00 bitrate=1\\r\n");
    SeenBox seen;
    m_watchers.push_back(std::make_unique<ModalWatcher>([&seen](QWidget* open) {
        auto* box = qobject_cast<QMessageBox*>(open);
        seen = describe(box);
        if (box != nullptr)
            box->button(QMessageBox::Ok)->click();
    }));
    button(CMainDlg::IDC_START)->click();

    EXPECT_EQ(seen.title, "Error");
    EXPECT_EQ(seen.text, QString("The path is read-only. Please select a new one.\n") +
                             QString::fromStdString(folder) + "/");
    EXPECT_EQ(seen.buttons, int(QMessageBox::Ok));
    EXPECT_EQ(window().conversionRun().encoder.process, kNoProcess);
    EXPECT_EQ(window().conversionState(), ConversionState::Idle);
    EXPECT_EQ(cell(0, kColumnStatus), "Ready");
    EXPECT_TRUE(startVisible());
}

} // namespace
