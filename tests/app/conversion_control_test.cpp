// The conversion loop against the fake encoder: Start and the walk down the list, the
// verdict per job, the live percentage and slider, Stop, the close request, and an
// output folder that cannot be written.
#include "window_fixture.h"

#include "bitmap_slider.h"
#include "conversion_control.h"
#include "encoder_progress.h"
#include "job_list.h"
#include "tool_process.h"

#include <QDir>
#include <QFile>
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

TEST_F(ConversionTest, StartOnAnEmptyListDoesNothing) {
    button(CMainDlg::IDC_START)->click();
    EXPECT_EQ(window().conversionState(), ConversionState::Idle);
    EXPECT_TRUE(startVisible());
    EXPECT_FALSE(stopVisible());
    EXPECT_EQ(g_encoderProcess.process, kNoProcess);
}

TEST_F(ConversionTest, StartConvertsEveryRowAgainFromTheFirst) {
    addJob(media("first.mp3", 100), 100);
    addJob(media("second.mp3", 100), 100);
    window().setCellText(0, kColumnStatus, "Success!");
    encoderScript("out size= 1kB time=50.00 bitrate=1\\r\nsleep 150\nout size= 2kB time=100.00 bitrate=1\\r\n");

    button(CMainDlg::IDC_START)->click();
    EXPECT_EQ(window().conversionState(), ConversionState::Converting);
    EXPECT_FALSE(startVisible());
    EXPECT_TRUE(stopVisible());
    recordRun();

    EXPECT_EQ(column(kColumnStatus), QStringList({"Success!", "Success!"}));
    ASSERT_TRUE(m_firstPercentAt.count(0) && m_firstPercentAt.count(1));
    EXPECT_LT(m_firstPercentAt[0], m_firstPercentAt[1]);
    EXPECT_TRUE(m_statuses[0].contains("50.00%")) << m_statuses[0].join(",").toStdString();
    EXPECT_TRUE(startVisible());
    EXPECT_FALSE(stopVisible());
    EXPECT_EQ(window().progressSlider()->GetPos(), 0);
}

TEST_F(ConversionTest, EveryStartFailingMarksEveryRowFatalAndStaysIdle) {
    addJob(media("a.mp3", 10), 10);
    addJob(media("b.mp3", 10), 10);
    addJob(media("c.mp3", 10), 10);
    const std::string missing = m_module.file("no-such-encoder");
    std::snprintf(g_encoderProcess.programPath, sizeof g_encoderProcess.programPath, "%s",
                  missing.c_str());

    button(CMainDlg::IDC_START)->click();

    EXPECT_EQ(column(kColumnStatus), QStringList({"FATAL!", "FATAL!", "FATAL!"}));
    EXPECT_EQ(window().conversionState(), ConversionState::Idle);
    EXPECT_TRUE(startVisible());
    EXPECT_FALSE(stopVisible());
}

struct VerdictCase {
    const char* name;
    const char* script; // what the encoder prints and how it ends
    const char* status;
};

class Verdict : public ConversionTest, public testing::WithParamInterface<VerdictCase> {};

TEST_P(Verdict, FollowsTheReachedShareAndTheExitStatus) {
    addJob(media("song.mp3", 100), 100);
    encoderScript(GetParam().script);
    button(CMainDlg::IDC_START)->click();
    waitForIdle();
    EXPECT_EQ(cell(0, kColumnStatus), GetParam().status) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Runs, Verdict,
    testing::Values(
        VerdictCase{"just under", "out size= 1kB time=87.99 bitrate=1\\r\n", "Failed!"},
        VerdictCase{"exactly 88", "out size= 1kB time=88.00 bitrate=1\\r\n", "Success!"},
        VerdictCase{"whole file, final record ends in LF",
                    "out size= 1kB time=100.00 bitrate=1\\n\n", "Success!"},
        VerdictCase{"non-zero exit after 95 %", "out size= 1kB time=95.00 bitrate=1\\r\nexit 1\n",
                    "Failed!"},
        VerdictCase{"crash at the end", "out size= 1kB time=100.00 bitrate=1\\r\ncrash\n", "Failed!"},
        VerdictCase{"no progress at all", "out nothing useful\\n\n", "Failed!"}),
    [](const testing::TestParamInfo<VerdictCase>& param) { return "case" + std::to_string(param.index); });

TEST(VerdictRule, EightyEightPercentOfACleanRunIsEnough) {
    EXPECT_FALSE(conversionSucceeded(87.99, true));
    EXPECT_TRUE(conversionSucceeded(88.0, true));
    EXPECT_TRUE(conversionSucceeded(250.0, true));
    EXPECT_TRUE(conversionSucceeded(std::nan(""), true)); // an empty range gives no number
    EXPECT_FALSE(conversionSucceeded(100.0, false));
    EXPECT_FALSE(conversionSucceeded(std::nan(""), false));
}

TEST_F(ConversionTest, StatusShowsThePercentageAndTheSliderFollows) {
    addJob(media("song.mp3", 100), 100);
    encoderScript("out size= 1kB time=0.35 bitrate=1\\r\nsleep 400\n"
                  "out size= 1kB time=42.10 bitrate=1\\r\nsleep 400\n"
                  "out size= 1kB time=100.00 bitrate=1\\r\n");
    button(CMainDlg::IDC_START)->click();
    recordRun();

    const QStringList& seen = m_statuses[0];
    EXPECT_TRUE(seen.contains("00.35%")) << seen.join(",").toStdString();
    EXPECT_TRUE(seen.contains("42.10%")) << seen.join(",").toStdString();
    EXPECT_EQ(seen.back(), "Success!");
    // Hundredths of a percent, truncated from the single-precision percentage.
    auto seenNear = [this](int position) {
        return std::any_of(m_positions.begin(), m_positions.end(),
                           [position](int value) { return std::abs(value - position) <= 1; });
    };
    EXPECT_TRUE(seenNear(35));
    EXPECT_TRUE(seenNear(4210));
    EXPECT_EQ(m_positions.back(), 0); // back at the start when the run is over
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

    button(CMainDlg::IDC_STOP)->click();
    waitForIdle(2000);

    EXPECT_EQ(column(kColumnStatus), QStringList({"Success!", "Failed!", "Ready"}));
    EXPECT_TRUE(startVisible());
    EXPECT_FALSE(stopVisible());
    EXPECT_EQ(g_encoderProcess.exitStatus, 0); // it quit on request, it did not crash
}

TEST_F(ConversionTest, StartWhileConvertingStartsNoSecondEncoder) {
    addJob(media("one.mp3", 100), 100);
    encoderScript("out size= 1kB time=10.00 bitrate=1\\r\nwaitquit 5000 0\n");
    button(CMainDlg::IDC_START)->click();
    ASSERT_EQ(window().conversionState(), ConversionState::Converting);
    const int running = g_encoderProcess.processId;

    button(CMainDlg::IDC_START)->click();
    EXPECT_EQ(g_encoderProcess.processId, running);
    button(CMainDlg::IDC_STOP)->click();
    waitForIdle(3000);
    EXPECT_EQ(cell(0, kColumnStatus), "Failed!");
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
    EXPECT_EQ(g_encoderProcess.process, kNoProcess);
    EXPECT_EQ(window().conversionState(), ConversionState::Idle);
    EXPECT_EQ(cell(0, kColumnStatus), "Ready");
    EXPECT_TRUE(startVisible());
}

TEST_F(ConversionTest, ARunEndsAtTheFirstUnwritableFolderKeepingThatRowsStatus) {
    addJob(media("one.mp3", 100), 100);
    ConversionJob* second = addJob(media("two.mp3", 100), 100);
    setJobDestination(second, m_module.file("gone").c_str());
    encoderScript("out size= 1kB time=100.00 bitrate=1\\r\n");
    m_watchers.push_back(std::make_unique<ModalWatcher>([](QWidget* open) {
        if (auto* box = qobject_cast<QMessageBox*>(open))
            box->button(QMessageBox::Ok)->click();
    }));
    button(CMainDlg::IDC_START)->click();
    waitForIdle();
    EXPECT_EQ(column(kColumnStatus), QStringList({"Success!", "Ready"}));
    EXPECT_TRUE(startVisible());
}

class WriteTest : public testing::Test {
protected:
    QStringList entries() const {
        return QDir(QString::fromStdString(m_folder.path()))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    ScratchFolder m_folder;
};

TEST_F(WriteTest, AWritableFolderIsLeftAsItWas) {
    writeFile(m_folder.file("song.mp3"), "user data");
    writeFile(m_folder.file(".nemarro-write-test"), "user data");
    const QStringList before = entries();
    EXPECT_TRUE(folderIsWritable(m_folder.path().c_str()));
    EXPECT_TRUE(folderIsWritable((m_folder.path() + "/").c_str()));
    EXPECT_EQ(entries(), before);
    EXPECT_EQ(readFile(m_folder.file(".nemarro-write-test")), "user data");
}

TEST_F(WriteTest, MissingFoldersAndFilesAreNotWritable) {
    EXPECT_FALSE(folderIsWritable(m_folder.file("missing").c_str()));
    writeFile(m_folder.file("plain"), "x");
    EXPECT_FALSE(folderIsWritable(m_folder.file("plain").c_str()));
    EXPECT_FALSE(folderIsWritable("/proc"));
}

} // namespace
