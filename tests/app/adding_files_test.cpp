// Adding files through Open File and drops with the fake prober, the wait dialog while
// the prober is slow, Delete File and Clear, and all of it refused while converting.
#include "window_fixture.h"

#include "adding_files.h"
#include "job_list.h"
#include "wait_dlg.h"

#include <QDir>
#include <QLabel>
#include <QMimeData>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

namespace {

class AddingFilesTest : public WindowTest {
protected:
    // Drops `paths` on the window as the desktop would, and lets the add run.
    void drop(const QStringList& paths) {
        sendDrop(paths);
        QTest::qWait(20); // the add runs once the drop has been answered
    }
    void sendDrop(const QStringList& paths) {
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        QMimeData data;
        data.setUrls(urls);
        const QPointF at(300, 250);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window(), &dropped);
    }
    // A wait dialog seen while adding.
    void watchForWaitDialog() {
        m_watchers.push_back(std::make_unique<ModalWatcher>([this](QWidget* open) {
            m_waitDialogSeen = qobject_cast<CWaitDlg*>(open) != nullptr;
        }));
    }
    QStringList jobNames() const {
        QStringList names;
        for (ConversionJob* job = g_jobList.head; job != nullptr; job = job->next)
            names << QString::fromLocal8Bit(job->sourceBaseName);
        return names;
    }
    QList<int> jobRows() const {
        QList<int> rows;
        for (ConversionJob* job = g_jobList.head; job != nullptr; job = job->next)
            rows << job->row;
        return rows;
    }
    void selectRows(const QList<int>& rows) {
        QTreeWidget* list = window().jobList();
        list->clearSelection();
        for (int row : rows)
            list->topLevelItem(row)->setSelected(true);
    }

    bool m_waitDialogSeen = false;
};

TEST_F(AddingFilesTest, OneFileGivesOneReadyRowWithTheChosenDestination) {
    EXPECT_FALSE(window().jobList()->isVisible());
    openFiles({media("Song One.mp3", 100.0)});

    ASSERT_EQ(rowCount(), 1);
    EXPECT_TRUE(window().jobList()->isVisible());
    EXPECT_EQ(cell(0, kColumnFileName), "Song One");
    EXPECT_EQ(cell(0, kColumnDuration), "00:01:40.00");
    EXPECT_EQ(cell(0, kColumnOutputSize), QString::fromLocal8Bit(g_jobList.head->sizeText));
    EXPECT_EQ(cell(0, kColumnStatus), "Ready");
    EXPECT_EQ(jobRows(), QList<int>({0}));
    EXPECT_STREQ(g_jobList.head->destinationFolder, window().selectedFolder());
}

TEST_F(AddingFilesTest, ThreeFilesOfOneFolderComeInTheDialogsOrder) {
    const std::string c = media("c.wav", 3), a = media("a.wav", 1), b = media("b.wav", 2);
    EXPECT_EQ(pendingPathsFromDialog({QString::fromStdString(c), QString::fromStdString(a)}).strings,
              QStringList({QString::fromStdString(m_media.path()), "c.wav", "a.wav"}));
    openFiles({c, a, b});
    EXPECT_EQ(column(kColumnFileName), QStringList({"c", "a", "b"}));
    EXPECT_EQ(column(kColumnDuration), QStringList({"00:00:03.00", "00:00:01.00", "00:00:02.00"}));
    EXPECT_EQ(jobNames(), QStringList({"c", "a", "b"}));
    EXPECT_EQ(jobRows(), QList<int>({0, 1, 2}));
}

TEST_F(AddingFilesTest, TheDialogStartsInMusicThenWhereFilesWereLastChosen) {
    rememberOpenFileFolder({QStringLiteral("/no/such/folder/a.wav")}); // gone: not used
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    QDir(music).removeRecursively();
    EXPECT_EQ(openFileStartFolder(), QDir::homePath());
    ASSERT_TRUE(QDir().mkpath(music));
    EXPECT_EQ(openFileStartFolder(), music);
    openFiles({media("chosen.wav", 1)});
    EXPECT_EQ(openFileStartFolder(), QString::fromStdString(m_media.path()));
    EXPECT_NE(openFileStartFolder(), QCoreApplication::applicationDirPath());
}

TEST_F(AddingFilesTest, CancellingTheDialogAddsNothingAndShowsNoWaitDialog) {
    watchForWaitDialog();
    openFiles({});
    QTest::qWait(50);
    EXPECT_EQ(m_chooserCalls.size(), 1);
    EXPECT_EQ(rowCount(), 0);
    EXPECT_EQ(g_jobList.head, nullptr);
    EXPECT_FALSE(m_waitDialogSeen);
    EXPECT_FALSE(window().jobList()->isVisible());
}

TEST_F(AddingFilesTest, TwoDroppedFilesFromDifferentFoldersAreBothAdded) {
    ScratchFolder other;
    const std::string first = media("first.flac", 5);
    const std::string second = mediaFile(other.path(), "second.flac", 6);
    drop({QString::fromStdString(first), QString::fromStdString(second)});
    ASSERT_TRUE(waitUntil([this] { return rowCount() == 2; }));
    EXPECT_EQ(column(kColumnFileName), QStringList({"first", "second"}));
    EXPECT_EQ(QString::fromLocal8Bit(g_jobList.head->next->sourcePath), QString::fromStdString(second));
    EXPECT_EQ(jobRows(), QList<int>({0, 1}));
}

TEST_F(AddingFilesTest, TwoDropsAnsweredTogetherAreReadOneAfterTheOther) {
    // Both adds are queued before either runs; the second must wait for the first worker.
    const QString slow = QString::fromStdString(mediaFile(m_media.path(), "slow.mp3", 5, 300));
    const QString quick = QString::fromStdString(media("quick.mp3", 6));
    sendDrop({slow, slow});
    sendDrop({quick, quick});
    ASSERT_TRUE(waitUntil([this] { return rowCount() == 4; }));
    QTest::qWait(200);
    EXPECT_EQ(column(kColumnFileName), QStringList({"slow", "slow", "quick", "quick"}));
    EXPECT_EQ(jobNames(), QStringList({"slow", "slow", "quick", "quick"}));
    EXPECT_EQ(jobRows(), QList<int>({0, 1, 2, 3}));
}

TEST_F(AddingFilesTest, ADropOf1024ItemsIsIgnoredWhole) {
    const QString one = QString::fromStdString(media("one.mp3", 5));
    watchForWaitDialog();
    drop(QStringList(1024, one));
    QTest::qWait(100);
    EXPECT_EQ(rowCount(), 0);
    EXPECT_EQ(g_jobList.head, nullptr);
    EXPECT_FALSE(m_waitDialogSeen);
    // One fewer is a drop like any other.
    drop(QStringList(3, one));
    EXPECT_TRUE(waitUntil([this] { return rowCount() == 3; }));
}

TEST_F(AddingFilesTest, AFileThatFailsToProbeLeavesNoRowAndTheRowsStayConsecutive) {
    const std::string a = media("a.mp3", 10), bad = media("bad.mp3", -1), c = media("c.mp3", 30);
    const std::string empty = media("zero.mp3", 0), d = media("d.mp3", 40);
    openFiles({a, bad, c, empty, d});
    EXPECT_EQ(column(kColumnFileName), QStringList({"a", "c", "d"}));
    EXPECT_EQ(jobRows(), QList<int>({0, 1, 2}));
    // Added again later, the rows go on from there.
    openFiles({media("e.mp3", 50)});
    EXPECT_EQ(column(kColumnFileName), QStringList({"a", "c", "d", "e"}));
    EXPECT_EQ(jobRows(), QList<int>({0, 1, 2, 3}));
}

TEST_F(AddingFilesTest, AWaitDialogShowsTheFileAndTheSecondsAndRefusesEscape) {
    const std::string slow = mediaFile(m_media.path(), "slow.wma", 8, 1900);
    QString message;
    QStringList lines;
    bool visibleAfterEscape = false;
    m_watchers.push_back(std::make_unique<ModalWatcher>([&](QWidget* open) {
        auto* dialog = qobject_cast<CWaitDlg*>(open);
        ASSERT_NE(dialog, nullptr);
        message = dialog->messageLabel()->text();
        QTest::keyClick(dialog, Qt::Key_Escape);
        visibleAfterEscape = dialog->isVisible();
        auto* sampler = new QTimer(dialog);
        QObject::connect(sampler, &QTimer::timeout, [&lines, dialog] {
            const QString line = dialog->probeNameLabel()->text();
            if (lines.isEmpty() || lines.back() != line)
                lines << line;
        });
        sampler->start(20);
    }));
    openFiles({slow});

    EXPECT_EQ(message, "Reading File Info ,please wait...");
    EXPECT_TRUE(visibleAfterEscape);
    const QString path = QString::fromStdString(slow);
    EXPECT_TRUE(lines.contains(path + " [0s]")) << lines.join("|").toStdString();
    EXPECT_TRUE(lines.contains(path + " [1s]")) << lines.join("|").toStdString();
    EXPECT_EQ(column(kColumnFileName), QStringList({"slow"}));
}

TEST_F(AddingFilesTest, DeletingRowsOneAndThreeOfFiveRenumbersTheRest) {
    for (const char* name : {"r0", "r1", "r2", "r3", "r4"})
        addJob(media(std::string(name) + ".mp3", 10), 10);
    selectRows({3, 1});
    button(CMainDlg::IDC_DELETE_FILE)->click();
    EXPECT_EQ(column(kColumnFileName), QStringList({"r0", "r2", "r4"}));
    EXPECT_EQ(jobNames(), QStringList({"r0", "r2", "r4"}));
    EXPECT_EQ(jobRows(), QList<int>({0, 1, 2}));
    EXPECT_TRUE(window().jobList()->isVisible());

    selectRows({0, 1, 2});
    button(CMainDlg::IDC_DELETE_FILE)->click();
    EXPECT_EQ(rowCount(), 0);
    EXPECT_EQ(g_jobList.head, nullptr);
    EXPECT_FALSE(window().jobList()->isVisible());
}

TEST_F(AddingFilesTest, DeleteFileTakesASelectionOfMoreThanAThousandRows) {
    const std::string path = media("many.mp3", 10);
    for (int i = 0; i < 1205; ++i)
        addJob(path, 10);
    QList<int> selected;
    for (int row = 0; row < 1205; ++row) {
        if (row != 7 && row != 1100)
            selected << row;
    }
    selectRows(selected);
    window().jobList()->topLevelItem(1100)->setText(kColumnStatus, "keep 1100");
    window().jobList()->topLevelItem(7)->setText(kColumnStatus, "keep 7");
    button(CMainDlg::IDC_DELETE_FILE)->click();
    EXPECT_EQ(column(kColumnStatus), QStringList({"keep 7", "keep 1100"}));
    EXPECT_EQ(jobRows(), QList<int>({0, 1}));
}

TEST_F(AddingFilesTest, DeleteWithoutSelectionKeepsEverything) {
    addJob(media("a.mp3", 10), 10);
    window().jobList()->clearSelection();
    button(CMainDlg::IDC_DELETE_FILE)->click();
    EXPECT_EQ(rowCount(), 1);
    EXPECT_TRUE(window().jobList()->isVisible());
}

TEST_F(AddingFilesTest, ClearEmptiesListAndJobs) {
    openFiles({media("a.mp3", 10), media("b.mp3", 10)});
    ASSERT_EQ(rowCount(), 2);
    button(CMainDlg::IDC_CLEAR)->click();
    EXPECT_EQ(rowCount(), 0);
    EXPECT_EQ(g_jobList.head, nullptr);
    EXPECT_FALSE(window().jobList()->isVisible());
}

TEST_F(AddingFilesTest, NothingIsAddedOrRemovedWhileConverting) {
    addJob(media("a.mp3", 100), 100);
    addJob(media("b.mp3", 100), 100);
    const std::string more = media("more.mp3", 10);
    encoderScript("out size= 1kB time=10.00 bitrate=1\\r\nwaitquit 10000 0\n");
    button(CMainDlg::IDC_START)->click();
    ASSERT_EQ(window().conversionState(), ConversionState::Converting);

    m_chooserAnswers.push_back({QString::fromStdString(more)});
    button(CMainDlg::IDC_OPEN_FILE)->click();
    EXPECT_TRUE(m_chooserCalls.isEmpty());
    drop({QString::fromStdString(more)});
    selectRows({0, 1});
    button(CMainDlg::IDC_DELETE_FILE)->click();
    button(CMainDlg::IDC_CLEAR)->click();
    QTest::qWait(50);
    EXPECT_EQ(rowCount(), 2);
    EXPECT_EQ(jobNames(), QStringList({"a", "b"}));

    button(CMainDlg::IDC_STOP)->click();
    waitForIdle();
}

TEST_F(AddingFilesTest, FilesNamedAtStartAreAddedAsADropOfThem) {
    // Relative names as a shell passes them; a folder is passed on, never expanded; the
    // limit of a drop holds.
    ScratchFolder folder;
    mediaFile(folder.path(), "b.wav", 2);
    media("a.flac", 1);
    const QStringList arguments = {QString::fromStdString(m_media.path() + "/a.flac"), "b.wav",
                                   "", QString::fromStdString(m_media.path())};
    const QStringList paths =
        pathsFromCommandLine(arguments, QString::fromStdString(folder.path()));
    EXPECT_EQ(paths, QStringList({arguments[0], QString::fromStdString(folder.path() + "/b.wav"),
                                  arguments[3]}));
    window().addDroppedPaths(QStringList(1024, paths[0]));
    window().addDroppedPaths(paths);
    ASSERT_TRUE(waitUntil([this] { return rowCount() == 2; }));
    QTest::qWait(100);
    EXPECT_EQ(column(kColumnFileName), QStringList({"a", "b"}));
    EXPECT_TRUE(pathsFromCommandLine({}, "/").isEmpty());
}

TEST(PendingPaths, DialogResultsAndDropsExpandToFullPaths) {
    EXPECT_EQ(expandPendingPaths(pendingPathsFromDialog({"/m/a.mp3"})), QStringList({"/m/a.mp3"}));
    EXPECT_EQ(expandPendingPaths(pendingPathsFromDialog({"/m/a.mp3", "/m/b.mp3"})),
              QStringList({"/m/a.mp3", "/m/b.mp3"}));
    EXPECT_EQ(expandPendingPaths(pendingPathsFromDialog({"/a.mp3", "/b.mp3"})),
              QStringList({"/a.mp3", "/b.mp3"}));
    // Names from two folders are never joined with the wrong one.
    EXPECT_EQ(expandPendingPaths(pendingPathsFromDialog({"/m/a.mp3", "/n/b.mp3"})),
              QStringList({"/m/a.mp3", "/n/b.mp3"}));
    EXPECT_EQ(expandPendingPaths(pendingPathsFromDrop({"/m/a.mp3", "/n"})),
              QStringList({"/m/a.mp3", "/n"}));
    EXPECT_TRUE(expandPendingPaths(pendingPathsFromDialog({})).isEmpty());
}

} // namespace
