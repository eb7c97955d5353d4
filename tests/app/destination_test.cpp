// The destination: the combo's items and their agreement with selectedFolder, Browse and
// "Browse..." with the folder chooser, "same folder", Open, and what a run allows.
#include "window_fixture.h"

#include "destination.h"
#include "job_list.h"
#include "shell_open.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QMessageBox>
#include <QTest>

#include <cstring>

namespace {

class DestinationTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        setFolderChooser([this](QWidget*, const QString& start, QString* folder) {
            m_chooserStarts << start;
            if (m_folderAnswers.isEmpty())
                return kFolderCancelled;
            *folder = m_folderAnswers.takeFirst();
            return kFolderChosen;
        });
        setShellOpener([this](const QUrl& url) { m_opened << url; });
    }

    QComboBox* combo() { return window().destinationCombo(); }
    QStringList items() {
        QStringList texts;
        for (int i = 0; i < combo()->count(); ++i)
            texts << combo()->itemText(i);
        return texts;
    }
    QString selected() { return QString::fromLocal8Bit(window().selectedFolder()); }
    // Picks an item from the open list with the mouse, as the user does.
    void pick(int index) {
        combo()->showPopup();
        QAbstractItemView* view = combo()->view();
        ASSERT_TRUE(waitUntil([view] { return view->isVisible(); }, 2000));
        const QRect place = view->visualRect(view->model()->index(index, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, place.center());
        QTest::qWait(20);
    }
    // The combo and selectedFolder agree: index 1 exactly when the folder is empty.
    void expectAgreement() {
        if (selected().isEmpty()) {
            EXPECT_EQ(combo()->currentIndex(), 1);
        } else {
            EXPECT_GT(combo()->currentIndex(), 1);
            EXPECT_EQ(combo()->currentText(), selected());
        }
        for (ConversionJob* job = g_jobList.head; job != nullptr; job = job->next)
            EXPECT_STREQ(job->destinationFolder, window().selectedFolder());
    }
    QString folder(const char* name) {
        const QString path = QString::fromStdString(m_media.file(name));
        QDir().mkpath(path);
        return path;
    }

    QStringList m_folderAnswers;
    QStringList m_chooserStarts;
    QList<QUrl> m_opened;
};

TEST_F(DestinationTest, StartsInTheVideoFolder) {
    ASSERT_EQ(combo()->count(), 3);
    EXPECT_EQ(items().mid(0, 2),
              QStringList({"Browse...", "Save in the same folder as the original file"}));
    EXPECT_EQ(combo()->currentIndex(), 2);
    expectAgreement();
}

TEST_F(DestinationTest, TheSameFolderChosenTwiceIsListedOnce) {
    addJob(media("a.mp3", 10), 10);
    const QString music = folder("Music");
    m_folderAnswers << music << music;
    button(CMainDlg::IDC_BROWSE)->click();
    EXPECT_EQ(items().size(), 4);
    EXPECT_EQ(combo()->currentIndex(), 3);
    expectAgreement();

    pick(1);
    EXPECT_EQ(combo()->currentIndex(), 1);
    button(CMainDlg::IDC_BROWSE)->click();
    EXPECT_EQ(items().size(), 4);
    EXPECT_EQ(combo()->currentIndex(), 3);
    EXPECT_EQ(selected(), music);
    expectAgreement();
}

TEST_F(DestinationTest, FoldersDifferingOnlyInLetterCaseAreTwoItems) {
    const QString upper = folder("Music"), lower = folder("music");
    m_folderAnswers << upper << lower;
    button(CMainDlg::IDC_BROWSE)->click();
    button(CMainDlg::IDC_BROWSE)->click();
    EXPECT_EQ(items().mid(3), QStringList({upper, lower}));
    EXPECT_EQ(selected(), lower);
    expectAgreement();
}

TEST_F(DestinationTest, BrowseStartsAtTheCurrentFolderAndCancelChangesNothing) {
    const QString before = selected();
    button(CMainDlg::IDC_BROWSE)->click();
    EXPECT_EQ(m_chooserStarts, QStringList({before}));
    EXPECT_EQ(selected(), before);
    EXPECT_EQ(items().size(), 3);
    expectAgreement();
}

TEST_F(DestinationTest, PickingBrowseFromTheListAndCancellingReturnsToThePreviousFolder) {
    const QString music = folder("Music");
    m_folderAnswers << music;
    button(CMainDlg::IDC_BROWSE)->click();
    pick(0);
    EXPECT_EQ(m_chooserStarts.size(), 2);
    QTest::qWait(20);
    EXPECT_EQ(combo()->currentIndex(), 3);
    EXPECT_EQ(selected(), music);
    expectAgreement();
}

TEST_F(DestinationTest, PickingBrowseFromTheListAndCancellingReturnsToSameFolder) {
    pick(1);
    ASSERT_TRUE(selected().isEmpty());
    pick(0);
    EXPECT_EQ(m_chooserStarts, QStringList({QString()}));
    EXPECT_EQ(combo()->currentIndex(), 1);
    expectAgreement();
}

TEST_F(DestinationTest, PickingBrowseFromTheListAndChoosingTakesTheFolder) {
    addJob(media("a.mp3", 10), 10);
    const QString chosen = folder("out");
    m_folderAnswers << chosen;
    pick(0);
    QTest::qWait(20);
    EXPECT_EQ(selected(), chosen);
    EXPECT_EQ(combo()->currentIndex(), 3);
    expectAgreement();
}

TEST_F(DestinationTest, SameFolderEmptiesEveryJobsDestination) {
    addJob(media("a.mp3", 10), 10);
    addJob(media("b.mp3", 10), 10);
    ASSERT_NE(g_jobList.head->destinationFolder[0], '\0');
    pick(1);
    EXPECT_TRUE(selected().isEmpty());
    EXPECT_STREQ(g_jobList.head->destinationFolder, "");
    EXPECT_STREQ(g_jobList.head->next->destinationFolder, "");
    expectAgreement();
    // And back to a listed folder.
    pick(2);
    EXPECT_FALSE(selected().isEmpty());
    expectAgreement();
}

TEST_F(DestinationTest, TheFileSystemRootIsKeptAsItIs) {
    m_folderAnswers << QStringLiteral("/");
    button(CMainDlg::IDC_BROWSE)->click();
    EXPECT_EQ(selected(), "/");
    EXPECT_EQ(combo()->currentText(), "/");
}

TEST_F(DestinationTest, AFolderTooLongForTheJobsIsRefusedNotCut) {
    const QString before = selected();
    m_folderAnswers << QStringLiteral("/") + QString(qsizetype(kPathSize), QLatin1Char('d'));
    ModalWatcher watcher([](QWidget* open) {
        if (auto* box = qobject_cast<QMessageBox*>(open))
            box->button(QMessageBox::Ok)->click();
    });
    button(CMainDlg::IDC_BROWSE)->click();
    EXPECT_TRUE(watcher.seen());
    EXPECT_EQ(selected(), before);
    EXPECT_EQ(items().size(), 3);
    expectAgreement();
}

TEST_F(DestinationTest, OpenShowsTheFolderOrTheHomeFolder) {
    const QString videos = selected();
    button(CMainDlg::IDC_OPEN)->click();
    pick(1);
    button(CMainDlg::IDC_OPEN)->click();
    ASSERT_EQ(m_opened.size(), 2);
    EXPECT_EQ(m_opened[0], QUrl::fromLocalFile(videos));
    EXPECT_EQ(m_opened[1], QUrl::fromLocalFile(QDir::homePath()));
}

TEST_F(DestinationTest, BrowseDoesNothingWhileConvertingButAListedFolderApplies) {
    addJob(media("one.mp3", 100), 100);
    addJob(media("two.mp3", 100), 100);
    const QString later = folder("later");
    m_folderAnswers << later;
    button(CMainDlg::IDC_BROWSE)->click(); // listed before the run
    pick(2);
    const QString first = selected();

    // Which files the later jobs go to is the engine's test (conversion_queue_test).
    encoderScript("out size= 1kB time=100.00 bitrate=1\\r\nsleep 300\n");
    button(CMainDlg::IDC_START)->click();
    ASSERT_EQ(window().conversionState(), ConversionState::Converting);

    m_folderAnswers << folder("never");
    button(CMainDlg::IDC_BROWSE)->click();
    pick(0); // "Browse..." snaps back without a chooser
    QTest::qWait(20);
    EXPECT_EQ(m_chooserStarts.size(), 1);
    EXPECT_EQ(selected(), first);
    expectAgreement();

    pick(3); // a listed folder is taken at once, for the jobs still to start
    EXPECT_EQ(selected(), later);
    waitForIdle();
    EXPECT_EQ(column(kColumnStatus), QStringList({"Success!", "Success!"}));
}

} // namespace
