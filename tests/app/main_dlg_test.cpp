// The main window offscreen: start-up, control places, list, slider, combos, the profile
// menu and Edit Profile reapplying the profile to every job, the small commands, the
// window menu, and dragging by the background.
#include "about_dlg.h"
#include "bitmap_slider.h"
#include "catalogue.h"
#include "control_events.h"
#include "gdip_button.h"
#include "gdiplus_bitmap.h"
#include "job_list.h"
#include "main_dlg.h"
#include "media_probe.h"
#include "mem_dc.h"
#include "profile_dlg.h"
#include "profile_menu.h"
#include "read_only_combo_box.h"
#include "shell_open.h"
#include "skin_resources.h"
#include "startup_files.h"
#include "string_table.h"
#include "wx_static.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Watches for the next popup or modal window and runs `whileOpen` on it once; it stops
// watching when destroyed, so a window that never opens leaves nothing behind.
class OpenWatcher {
public:
    explicit OpenWatcher(std::function<void(QWidget*)> whileOpen) : m_whileOpen(std::move(whileOpen)) {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }

private:
    void poll() {
        QWidget* open = QApplication::activePopupWidget();
        if (open == nullptr) {
            open = QApplication::activeModalWidget();
        }
        if (open == nullptr || open->inherits("CMainDlg")) {
            return;
        }
        m_timer.stop();
        m_whileOpen(open);
    }

    std::function<void(QWidget*)> m_whileOpen;
    QTimer m_timer;
};

void clickMenuItem(QMenu* menu, int position) {
    QAction* action = menu->actions().at(position);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

class MainDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid());
        const ProfileCategory& audio = g_categories[kGeneralAudioCategory];
        for (int i = 0; i < audio.profileCount; ++i) {
            m_savedProfiles.push_back(*audio.profiles[i]);
        }
        m_previousOpener = setShellOpener([this](const QUrl& url) { m_opened.push_back(url.toString()); });
    }
    void TearDown() override {
        m_watchers.clear();
        m_dialog.reset();
        clearJobs();
        const ProfileCategory& audio = g_categories[kGeneralAudioCategory];
        for (int i = 0; i < audio.profileCount; ++i) {
            *audio.profiles[i] = m_savedProfiles[std::size_t(i)];
        }
        setShellOpener(m_previousOpener);
    }

    CMainDlg& open() {
        m_dialog = std::make_unique<CMainDlg>(m_folder.path().toLocal8Bit().constData());
        m_dialog->show();
        m_dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
        return *m_dialog;
    }

    // A job as the probing pass leaves it: in the list, with its row and "Ready".
    ConversionJob* addJob(const char* path, double seconds) {
        ConversionJob* job = createJob(path, seconds, currentProfile);
        EXPECT_NE(job, nullptr);
        appendJob(job);
        renumberRows();
        auto* item = new QTreeWidgetItem(QStringList{QString::fromLocal8Bit(job->sourceBaseName),
                                                     QString::fromLocal8Bit(job->durationText),
                                                     QString::fromLocal8Bit(job->sizeText), QStringLiteral("Ready")});
        m_dialog->jobList()->addTopLevelItem(item);
        m_dialog->jobList()->show();
        return job;
    }

    QString cell(int row, int column) const {
        return m_dialog->jobList()->topLevelItem(row)->text(column);
    }

    // A real click on the profile combo; `inMenu` acts on the menu if one opens.
    void clickProfileCombo(std::function<void(QMenu*)> inMenu) {
        m_menuOpened = false;
        whenOpen([this, inMenu](QWidget* popup) {
            auto* menu = qobject_cast<QMenu*>(popup);
            ASSERT_NE(menu, nullptr);
            m_menuOpened = true;
            inMenu(menu);
        });
        QTest::mouseClick(m_dialog->profileCombo(), Qt::LeftButton);
        m_watchers.pop_back(); // the menu, if any, has come and gone
    }

    void whenOpen(std::function<void(QWidget*)> whileOpen) {
        m_watchers.push_back(std::make_unique<OpenWatcher>(std::move(whileOpen)));
    }

    QTemporaryDir m_folder;
    std::vector<std::unique_ptr<OpenWatcher>> m_watchers;
    std::unique_ptr<CMainDlg> m_dialog;
    std::vector<ConversionProfile> m_savedProfiles;
    std::vector<QString> m_opened;
    ShellOpener m_previousOpener;
    bool m_menuOpened = false;
};

TEST_F(MainDlgTest, StartInAFreshFolderWritesTheInstallDateOnce) {
    const long long before = std::time(nullptr);
    open();
    const QByteArray date = readFile(m_folder.path() + "/install.date");
    ASSERT_FALSE(date.isEmpty());
    for (char c : date) {
        EXPECT_TRUE(c >= '0' && c <= '9') << date.toStdString();
    }
    EXPECT_GE(date.toLongLong(), before);
    EXPECT_LE(date.toLongLong(), std::time(nullptr));
    EXPECT_EQ(std::string(installTime), date.toStdString());

    m_dialog.reset();
    open();
    EXPECT_EQ(readFile(m_folder.path() + "/install.date"), date);
}

TEST_F(MainDlgTest, MarkerOrEmptyDateLeavesInstallTimeEmpty) {
    QFile date(m_folder.path() + "/install.date");
    ASSERT_TRUE(date.open(QIODevice::WriteOnly));
    date.close();
    open();
    EXPECT_STREQ(installTime, "");

    ASSERT_TRUE(date.open(QIODevice::WriteOnly));
    date.write("1733616000");
    date.close();
    QFile marker(m_folder.path() + "/install");
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    m_dialog.reset();
    open();
    EXPECT_STREQ(installTime, "");
}

TEST_F(MainDlgTest, OpensWithoutTheExternalProgramsAndPointsAtThem) {
    CMainDlg& dialog = open();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(QFile::exists(m_folder.path() + "/cv.dat"));
    const std::string folder = m_folder.path().toStdString();
    EXPECT_STREQ(dialog.moduleFolder(), folder.c_str());
    EXPECT_EQ(std::string(dialog.conversionRun().encoder.programPath), folder + "/cv.dat");
    EXPECT_EQ(std::string(g_probeProcess.programPath), folder + "/pb.dat");
    EXPECT_EQ(dialog.conversionState(), ConversionState::Idle);
    EXPECT_STREQ(currentProfile->name, "MP3 - MPEG Layer-3 Audio");
}

TEST_F(MainDlgTest, FolderThatDoesNotFitIsNeverCut) {
    const std::string longFolder = m_folder.path().toStdString() + "/" + std::string(kPathSize, 'a');
    CMainDlg dialog(longFolder.c_str());
    EXPECT_STREQ(dialog.moduleFolder(), "");
    EXPECT_STREQ(dialog.conversionRun().encoder.programPath, "");
    EXPECT_STREQ(g_probeProcess.programPath, "");
    EXPECT_TRUE(installDateFile.isEmpty());
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 0);
}

TEST_F(MainDlgTest, ControlsSitAtTheirPlaces) {
    CMainDlg& dialog = open();
    EXPECT_EQ(dialog.size(), QSize(600, 500));
    EXPECT_TRUE(dialog.windowFlags() & Qt::FramelessWindowHint);
    struct Place { int id; QRect rect; };
    const Place places[] = {
        {1000, {543, 24, 13, 6}},    {1001, {565, 19, 16, 14}},  {1002, {102, 37, 117, 44}},
        {1003, {222, 37, 103, 44}},  {1004, {328, 37, 95, 44}},  {1005, {410, 424, 73, 23}},
        {1006, {402, 458, 59, 23}},  {1007, {321, 458, 73, 23}}, {1008, {500, 411, 87, 87}},
        {1009, {500, 411, 87, 87}},  {1010, {26, 92, 549, 293}}, {1011, {102, 424, 302, 21}},
        {1012, {102, 458, 212, 21}}, {1015, {41, 398, 458, 15}}, {1018, {516, 63, 33, 12}},
        {1019, {557, 63, 27, 14}},
    };
    for (const Place& place : places) {
        QWidget* control = findControl(&dialog, place.id);
        ASSERT_NE(control, nullptr) << place.id;
        EXPECT_EQ(control->geometry(), place.rect) << place.id;
    }
}

TEST_F(MainDlgTest, ButtonsCarryTheirSkinImages) {
    CMainDlg& dialog = open();
    struct Skin { int id; int image; };
    const Skin skins[] = {{1001, 10002}, {1000, 10001}, {1002, 10003}, {1003, 10004}, {1004, 10005}, {1006, 10009},
                          {1007, 10010}, {1008, 10011}, {1009, 10007}, {1005, 10006}, {1018, 10014}, {1019, 10015}};
    for (const Skin& skin : skins) {
        CGdipButton* button = dialog.button(skin.id);
        ASSERT_NE(button, nullptr) << skin.id;
        ASSERT_NE(button->image(), nullptr) << skin.id;
        const QImage expected = QImage::fromData(skinPngData(skin.image));
        EXPECT_EQ(button->image()->bitmap().size(), expected.size()) << skin.id;
    }
}

TEST_F(MainDlgTest, HiddenAtStartAreLabelsStopAndTheEmptyList) {
    CMainDlg& dialog = open();
    EXPECT_TRUE(findControl(&dialog, 1013)->isHidden());
    EXPECT_TRUE(findControl(&dialog, 1014)->isHidden());
    EXPECT_TRUE(dialog.button(1008)->isHidden());
    EXPECT_FALSE(dialog.button(1009)->isHidden());
    EXPECT_TRUE(dialog.jobList()->isHidden());
    EXPECT_EQ(dialog.jobList()->topLevelItemCount(), 0);
}

TEST_F(MainDlgTest, JobListHasFourColumnsSizedFromItsWidth) {
    CMainDlg& dialog = open();
    QTreeWidget* list = dialog.jobList();
    const QStringList headings{"File Name", "Duration", "Output Size", "Status"};
    ASSERT_EQ(list->columnCount(), 4);
    const int width = list->width();
    const int expected[] = {width / 2, width / 6, width / 6, width / 6};
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(list->headerItem()->text(column), headings[column]);
        EXPECT_EQ(list->columnWidth(column), expected[column]) << column;
    }
    EXPECT_EQ(expected[0], 274);
    EXPECT_EQ(expected[1], 91);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_FALSE(list->rootIsDecorated());
    EXPECT_TRUE(list->header()->sectionsClickable());
    EXPECT_FALSE(list->isSortingEnabled());
}

TEST_F(MainDlgTest, SliderShowsProgressOnly) {
    CMainDlg& dialog = open();
    CBitmapSlider* slider = dialog.progressSlider();
    EXPECT_EQ(slider->GetRangeMin(), 0);
    EXPECT_EQ(slider->GetRangeMax(), 10000);
    EXPECT_EQ(slider->GetPos(), 0);
    EXPECT_TRUE(slider->hasChannel());
    EXPECT_TRUE(slider->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST_F(MainDlgTest, DestinationComboOffersTheVideoFolder) {
    const QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    QDir(videos).removeRecursively();
    CMainDlg& dialog = open();
    QComboBox* combo = dialog.destinationCombo();
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("Browse..."));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("Save in the same folder as the original file"));
    EXPECT_EQ(combo->itemText(2), QDir::toNativeSeparators(videos));
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_TRUE(QDir(videos).exists());
    EXPECT_EQ(QString::fromLocal8Bit(dialog.selectedFolder()), QDir::toNativeSeparators(videos));
}

TEST_F(MainDlgTest, ProfileComboShowsTheStartSummaryLine) {
    CMainDlg& dialog = open();
    ASSERT_EQ(dialog.profileCombo()->count(), 1);
    EXPECT_EQ(dialog.profileCombo()->currentText(),
              QStringLiteral("MP3 - MPEG Layer-3 Audio  [mp3(128K 48000 Stereo)] .mp3"));
    EXPECT_EQ(dialog.profileMenu().actions().size(), 11);
}

// The layout was made for an 8-point dialog font; the one chosen must let every start-up
// summary line of "General Audio" show whole in the combo's text field.
TEST_F(MainDlgTest, EverySummaryLineOfGeneralAudioFitsTheProfileCombo) {
    CMainDlg& dialog = open();
    QComboBox* combo = dialog.profileCombo();
    ASSERT_EQ(combo->width(), 302);
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = false;
    const QRect field =
        combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    const ProfileCategory& audio = g_categories[kGeneralAudioCategory];
    for (int i = 0; i < audio.profileCount; ++i) {
        currentProfile = audio.profiles[i];
        showSummaryLine(*combo);
        const QString line = combo->currentText();
        const int needed = combo->fontMetrics().horizontalAdvance(line);
        EXPECT_LE(needed, field.width()) << line.toStdString() << " in " << combo->font().family().toStdString();
        EXPECT_GE(combo->fontMetrics().height(), 10) << "legible";
    }
}

TEST_F(MainDlgTest, JobListIsDrawnInTheSkinsDarkColoursWithReadableText) {
    CMainDlg& dialog = open();
    QTreeWidget* list = dialog.jobList();
    const QPalette palette = list->palette();
    // Dark like the panel around it, and every text role far lighter than its background.
    EXPECT_LT(palette.color(QPalette::Base).lightness(), 60);
    EXPECT_GT(palette.color(QPalette::Text).lightness() - palette.color(QPalette::Base).lightness(), 150);
    EXPECT_GT(palette.color(QPalette::ButtonText).lightness() - palette.color(QPalette::Button).lightness(), 120);
    EXPECT_GT(palette.color(QPalette::HighlightedText).lightness() - palette.color(QPalette::Highlight).lightness(), 100);
}

TEST_F(MainDlgTest, OutlineExcludesExactlyTheKeyColour) {
    CMainDlg& dialog = open();
    const QImage background = dialog.background().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(background.size(), QSize(600, 500));
    EXPECT_EQ(background.pixel(0, 0), SKIN_KEY_COLOR); // the corners lie outside the outline
    EXPECT_EQ(background.pixel(599, 499), SKIN_KEY_COLOR);

    QImage inside(background.size(), QImage::Format_RGB32);
    inside.fill(Qt::black);
    {
        QPainter painter(&inside);
        painter.setClipRegion(CMainDlg::skinRegion(background));
        painter.fillRect(inside.rect(), Qt::white);
    }
    int keyPixels = 0;
    int mismatches = 0;
    for (int y = 0; y < background.height(); ++y) {
        for (int x = 0; x < background.width(); ++x) {
            const bool key = background.pixel(x, y) == SKIN_KEY_COLOR;
            keyPixels += key ? 1 : 0;
            const bool covered = inside.pixel(x, y) == qRgb(255, 255, 255);
            mismatches += covered == key ? 1 : 0;
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(keyPixels, 0);
}

TEST_F(MainDlgTest, OutlineKeepsColoursNextToTheKey) {
    QImage image(3, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, SKIN_KEY_COLOR);
    image.setPixel(1, 0, qRgb(1, 22, 129));
    image.setPixel(2, 0, qRgb(0, 22, 128));
    const QRegion region = CMainDlg::skinRegion(image);
    EXPECT_FALSE(region.contains(QPoint(0, 0)));
    EXPECT_TRUE(region.contains(QPoint(1, 0)));
    EXPECT_TRUE(region.contains(QPoint(2, 0)));
}

TEST_F(MainDlgTest, ChoosingAProfileReappliesItToEveryJob) {
    CMainDlg& dialog = open();
    ConversionJob* first = addJob("/music/first song.flac", 240.0);
    ConversionJob* second = addJob("/music/second.ogg", 60.0);
    EXPECT_EQ(cell(0, 2), QStringLiteral("3.7MB"));

    QRect menuAt;
    QAction* defaultItem = nullptr;
    clickProfileCombo([&](QMenu* menu) {
        menuAt = menu->geometry();
        defaultItem = menu->defaultAction();
        clickMenuItem(menu, 1);
    });
    ASSERT_TRUE(m_menuOpened);
    const QPoint comboTop = dialog.profileCombo()->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(menuAt.left(), comboTop.x());
    EXPECT_EQ(menuAt.bottom() + 1, comboTop.y());
    EXPECT_EQ(defaultItem, dialog.profileMenu().actions().at(0));
    EXPECT_FALSE(dialog.profileCombo()->view()->isVisible());

    EXPECT_EQ(dialog.profileCombo()->count(), 1);
    EXPECT_EQ(dialog.profileCombo()->currentText(),
              QStringLiteral("AAC - Advanced Audio Coding  [MPEG-4 AAC(112K 44100 Stereo)] .aac"));
    EXPECT_EQ(first->profile, currentProfile);
    EXPECT_EQ(second->profile, currentProfile);
    EXPECT_EQ(cell(0, 2), QStringLiteral("3.2MB")); // 240 s at 112K
    EXPECT_EQ(cell(1, 2), QStringLiteral("0.8MB"));
    EXPECT_EQ(cell(0, 3), QStringLiteral("Ready"));

    clickProfileCombo([&](QMenu* menu) {
        defaultItem = menu->defaultAction();
        clickMenuItem(menu, 9);
    });
    EXPECT_EQ(defaultItem, dialog.profileMenu().actions().at(1));
    EXPECT_EQ(dialog.profileCombo()->currentText(),
              QStringLiteral("WAV - Waveform Audio  [pcm_s16le(Auto 44100 Stereo)] .wav"));
    EXPECT_EQ(cell(0, 2), QStringLiteral("? MB"));
    EXPECT_EQ(cell(1, 2), QStringLiteral("? MB"));
    EXPECT_STREQ(first->sizeText, "? MB");
}

TEST_F(MainDlgTest, DismissingOrChoosingTheCurrentProfileChangesNothing) {
    CMainDlg& dialog = open();
    ConversionJob* job = addJob("/music/song.flac", 240.0);
    // A changed cell shows whether the rows were rewritten.
    dialog.setCellText(0, 2, "untouched");
    ConversionProfile* mp3 = currentProfile;

    clickProfileCombo([](QMenu* menu) { QTest::keyClick(menu, Qt::Key_Escape); });
    ASSERT_TRUE(m_menuOpened);
    clickProfileCombo([](QMenu* menu) { clickMenuItem(menu, 0); });
    ASSERT_TRUE(m_menuOpened);
    EXPECT_EQ(currentProfile, mp3);
    EXPECT_EQ(cell(0, 2), QStringLiteral("untouched"));
    EXPECT_EQ(job->profile, mp3);
    EXPECT_EQ(dialog.profileCombo()->currentText(),
              QStringLiteral("MP3 - MPEG Layer-3 Audio  [mp3(128K 48000 Stereo)] .mp3"));
}

TEST_F(MainDlgTest, NoProfileMenuWhileConverting) {
    CMainDlg& dialog = open();
    dialog.setConversionState(ConversionState::Converting);
    clickProfileCombo([](QMenu* menu) { menu->close(); });
    EXPECT_FALSE(m_menuOpened);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    dialog.setConversionState(ConversionState::Idle);
    QApplication::processEvents();
}

TEST_F(MainDlgTest, EditProfileThenEscapeRefreshesRowsAndSummary) {
    CMainDlg& dialog = open();
    addJob("/music/song.flac", 240.0);
    bool opened = false;
    whenOpen([&](QWidget* window) {
        auto* editor = qobject_cast<CProfileDlg*>(window);
        ASSERT_NE(editor, nullptr);
        opened = true;
        QComboBox* bitRate = nullptr;
        for (QComboBox* box : editor->findChildren<QComboBox*>()) {
            if (box->property("controlId").toInt() == CProfileDlg::IDC_BIT_RATE) {
                bitRate = box;
            }
        }
        ASSERT_NE(bitRate, nullptr);
        QTest::keyClick(bitRate, Qt::Key_End); // the last entry, 320K
        QTest::keyClick(editor, Qt::Key_Escape);
    });
    dialog.button(CMainDlg::IDC_SETTING)->click();
    ASSERT_TRUE(opened);
    EXPECT_EQ(dialog.profileCombo()->currentText(),
              QStringLiteral("MP3 - MPEG Layer-3 Audio  [mp3(320K 48000 Stereo)] .mp3"));
    EXPECT_EQ(cell(0, 2), QStringLiteral("9.2MB")); // 240 s at 320K
}

TEST_F(MainDlgTest, NoEditProfileWhileConverting) {
    CMainDlg& dialog = open();
    dialog.setConversionState(ConversionState::Converting);
    bool opened = false;
    whenOpen([&](QWidget* window) {
        opened = true;
        window->close();
    });
    dialog.button(CMainDlg::IDC_SETTING)->click();
    QTest::qWait(30);
    EXPECT_FALSE(opened);
}

TEST_F(MainDlgTest, HomeAndHelpOpenTheManualFromTheBuildTree) {
    CMainDlg& dialog = open();
    QTest::mouseClick(dialog.button(CMainDlg::IDC_HOME), Qt::LeftButton);
    QTest::mouseClick(dialog.button(CMainDlg::IDC_HELP), Qt::LeftButton);
    ASSERT_EQ(m_opened.size(), 2u);
    const QString manual = QCoreApplication::applicationDirPath() + "/../share/doc/nemarro/";
    EXPECT_EQ(m_opened[0], QUrl::fromLocalFile(QDir::cleanPath(manual + "index.html")).toString());
    EXPECT_EQ(m_opened[1], QUrl::fromLocalFile(QDir::cleanPath(manual + "contents.html")).toString());
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(MainDlgTest, MinMinimisesAndCloseCloses) {
    CMainDlg& dialog = open();
    QTest::mouseClick(dialog.button(CMainDlg::IDC_MIN), Qt::LeftButton);
    EXPECT_TRUE(dialog.isMinimized());
    EXPECT_TRUE(dialog.isVisible());
    dialog.showNormal();
    QTest::mouseClick(dialog.button(CMainDlg::IDC_CLOSE), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(MainDlgTest, EscapeAndEnterLeaveTheWindowOpen) {
    CMainDlg& dialog = open();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(m_opened.empty());
}

TEST_F(MainDlgTest, WindowMenuOffersAboutOnRightClickAndAltSpace) {
    CMainDlg& dialog = open();
    QStringList texts;
    whenOpen([&](QWidget* popup) {
        auto* menu = qobject_cast<QMenu*>(popup);
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        menu->close();
    });
    QTest::mouseClick(&dialog, Qt::RightButton, {}, QPoint(300, 10));
    EXPECT_EQ(texts, (QStringList{"Mi&nimize", "&Close", "-", "&About Nemarro..."}));

    QString aboutTitle;
    whenOpen([&](QWidget* popup) {
        auto* menu = qobject_cast<QMenu*>(popup);
        ASSERT_NE(menu, nullptr);
        whenOpen([&](QWidget* window) {
            aboutTitle = window->windowTitle();
            window->close();
        });
        clickMenuItem(menu, 3);
    });
    dialog.activateWindow(); // the closed menu hands activation back to no one offscreen
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(&dialog, Qt::Key_Space, Qt::AltModifier);
    EXPECT_EQ(aboutTitle, QStringLiteral("About Nemarro"));
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(MainDlgTest, DraggingTheBackgroundMovesTheWindow) {
    CMainDlg& dialog = open();
    dialog.move(100, 50);
    const QPoint start = dialog.pos();
    QTest::mousePress(&dialog, Qt::LeftButton, {}, QPoint(300, 10));
    QTest::mouseMove(&dialog, QPoint(340, 40));
    QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(340, 40));
    EXPECT_EQ(dialog.pos() - start, QPoint(40, 30));
}

TEST_F(MainDlgTest, CellsAreWrittenOnlyInsideTheList) {
    CMainDlg& dialog = open();
    addJob("/music/song.flac", 10.0);
    dialog.setCellText(0, 3, "42.10%");
    EXPECT_EQ(cell(0, 3), QStringLiteral("42.10%"));
    dialog.setCellText(0, 0, "caf\xc3\xa9");
    EXPECT_EQ(cell(0, 0), QString::fromUtf8("caf\xc3\xa9"));
    dialog.setCellText(1, 0, "no such row");
    dialog.setCellText(0, 4, "no such column");
    dialog.setCellText(-1, 0, "no such row");
    EXPECT_EQ(dialog.jobList()->topLevelItemCount(), 1);
}

TEST_F(MainDlgTest, ConversionStateSwapsStartAndStop) {
    CMainDlg& dialog = open();
    dialog.setConversionState(ConversionState::Converting);
    EXPECT_TRUE(dialog.button(CMainDlg::IDC_START)->isHidden());
    EXPECT_FALSE(dialog.button(CMainDlg::IDC_STOP)->isHidden());
    dialog.progressSlider()->SetPos(4210);
    dialog.setConversionState(ConversionState::Idle);
    EXPECT_FALSE(dialog.button(CMainDlg::IDC_START)->isHidden());
    EXPECT_TRUE(dialog.button(CMainDlg::IDC_STOP)->isHidden());
    EXPECT_EQ(dialog.progressSlider()->GetPos(), 0);
    // The state already in force changes nothing.
    dialog.progressSlider()->SetPos(100);
    dialog.setConversionState(ConversionState::Idle);
    EXPECT_EQ(dialog.progressSlider()->GetPos(), 100);
}

TEST_F(MainDlgTest, PaintHandsTheBackgroundToTheButtonsAndLabels) {
    CMainDlg& dialog = open();
    dialog.repaint();
    const QImage skin = dialog.background().convertToFormat(QImage::Format_RGB32);
    const auto expectBehind = [&](QWidget* control, const QImage& captured) {
        ASSERT_FALSE(captured.isNull()) << controlId(control);
        EXPECT_EQ(captured.convertToFormat(QImage::Format_RGB32), skin.copy(control->geometry()))
            << controlId(control);
    };
    for (int id : {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1018, 1019}) {
        expectBehind(dialog.button(id), dialog.button(id)->background());
    }
    for (int id : {1013, 1014}) {
        auto* label = qobject_cast<CwxStatic*>(findControl(&dialog, id));
        ASSERT_NE(label, nullptr);
        expectBehind(label, label->background());
    }
}

} // namespace
