// The profile menu, the summary line in a combo and the Edit Profile dialog, driven as a
// user would: menu items clicked, combo entries chosen with the keyboard, Escape pressed.
#include "catalogue.h"
#include "profile_dlg.h"
#include "profile_menu.h"
#include "summary_line.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

ConversionProfile& generalAudio(const char* name) {
    ConversionProfile* profile = findProfile(kGeneralAudioCategory, name);
    EXPECT_NE(profile, nullptr) << name;
    return *profile;
}

std::string summaryLine() {
    char line[kSummaryLineSize] = {};
    profileSummaryLine(line);
    return line;
}

QStringList items(const QComboBox* combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i) {
        texts << combo->itemText(i);
    }
    return texts;
}

// Moves a closed combo's selection to `index` with the arrow keys, as a user would.
void chooseEntry(QComboBox* combo, int index) {
    while (combo->currentIndex() < index) {
        QTest::keyClick(combo, Qt::Key_Down);
    }
    while (combo->currentIndex() > index) {
        QTest::keyClick(combo, Qt::Key_Up);
    }
}

void chooseText(QComboBox* combo, const char* text) {
    const int index = combo->findText(QString::fromLatin1(text));
    ASSERT_GE(index, 0) << text;
    chooseEntry(combo, index);
}

QRect inDialogUnits(int x, int y, int width, int height) {
    return QRect(int(std::lround(x * 1.5)), int(std::lround(y * 1.625)),
                 int(std::lround(width * 1.5)), int(std::lround(height * 1.625)));
}

// Every test starts at "MP3 - MPEG Layer-3 Audio" with the catalogue's own selections
// and gets them back afterwards, since the dialog writes into the catalogue itself.
class ProfileUiTest : public ::testing::Test {
protected:
    void SetUp() override {
        const ProfileCategory& audio = g_categories[kGeneralAudioCategory];
        for (int i = 0; i < audio.profileCount; ++i) {
            m_saved.push_back(*audio.profiles[i]);
        }
        m_savedCurrent = currentProfile;
        currentProfile = &generalAudio("MP3 - MPEG Layer-3 Audio");
    }
    void TearDown() override {
        const ProfileCategory& audio = g_categories[kGeneralAudioCategory];
        for (int i = 0; i < audio.profileCount; ++i) {
            *audio.profiles[i] = m_saved[std::size_t(i)];
        }
        currentProfile = m_savedCurrent;
    }

    static QComboBox* combo(const QDialog& dialog, int id) {
        for (QComboBox* box : dialog.findChildren<QComboBox*>()) {
            if (box->property("controlId").toInt() == id) {
                return box;
            }
        }
        ADD_FAILURE() << "no combo " << id;
        return nullptr;
    }

    std::vector<ConversionProfile> m_saved;
    ConversionProfile* m_savedCurrent = nullptr;
};

// Runs `whileOpen` once the menu opened by `open` is on screen.
int withOpenMenu(const std::function<int()>& open, const std::function<void(QMenu*)>& whileOpen) {
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        whileOpen(menu);
    });
    return open();
}

void clickItem(QMenu* menu, int position) {
    QAction* action = menu->actions().at(position);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

TEST_F(ProfileUiTest, MenuListsTheGeneralAudioProfilesWithTheirCommandIds) {
    QMenu menu;
    buildProfileMenu(kGeneralAudioCategory, menu);
    const ProfileCategory& audio = g_categories[kGeneralAudioCategory];
    ASSERT_EQ(menu.actions().size(), 11);
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(menu.actions()[i]->text().toStdString(), audio.profiles[i]->name);
        EXPECT_EQ(profileMenuCommandAt(menu, i), 11400 + i);
        EXPECT_FALSE(menu.actions()[i]->isSeparator());
        EXPECT_FALSE(menu.actions()[i]->isCheckable());
    }
    EXPECT_EQ(profileMenuCommandAt(menu, 11), 0);
    EXPECT_EQ(profileMenuCommandAt(menu, -1), 0);
}

TEST_F(ProfileUiTest, MenuOpensAboveTheAnchorWithTheCurrentProfileAsDefault) {
    QMenu menu;
    buildProfileMenu(kGeneralAudioCategory, menu);
    currentProfile = &generalAudio("AAC - Advanced Audio Coding");
    const QRect anchor(100, 420, 302, 21);
    QRect shownAt;
    QAction* shownDefault = nullptr;
    const int chosen = withOpenMenu([&] { return trackProfileMenu(menu, anchor); },
                                    [&](QMenu* open) {
                                        shownAt = open->geometry();
                                        shownDefault = open->defaultAction();
                                        clickItem(open, 9);
                                    });
    EXPECT_EQ(chosen, 11409);
    EXPECT_EQ(shownAt.left(), anchor.left());
    EXPECT_EQ(shownAt.bottom() + 1, anchor.top());
    EXPECT_EQ(shownDefault, menu.actions()[1]);
}

TEST_F(ProfileUiTest, DismissedMenuGivesNoCommand) {
    QMenu menu;
    buildProfileMenu(kGeneralAudioCategory, menu);
    const int chosen = withOpenMenu([&] { return trackProfileMenu(menu, QRect(100, 420, 302, 21)); },
                                    [](QMenu* open) { QTest::keyClick(open, Qt::Key_Escape); });
    EXPECT_EQ(chosen, 0);
}

TEST_F(ProfileUiTest, OnlyAnotherProfileBecomesCurrent) {
    ConversionProfile* mp3 = currentProfile;
    EXPECT_FALSE(chooseProfileCommand(0));
    EXPECT_FALSE(chooseProfileCommand(9999));
    EXPECT_FALSE(chooseProfileCommand(-5));
    EXPECT_FALSE(chooseProfileCommand(11400)); // already current
    EXPECT_EQ(currentProfile, mp3);
    EXPECT_TRUE(chooseProfileCommand(11401));
    EXPECT_STREQ(currentProfile->name, "AAC - Advanced Audio Coding");
}

TEST_F(ProfileUiTest, ComboHoldsOnlyTheSummaryLineSelected) {
    QComboBox combo;
    combo.addItems({QStringLiteral("old"), QStringLiteral("older")});
    showSummaryLine(combo);
    ASSERT_EQ(combo.count(), 1);
    EXPECT_EQ(combo.currentIndex(), 0);
    EXPECT_EQ(combo.currentText(), QStringLiteral("MP3 - MPEG Layer-3 Audio  [mp3(128K 48000 Stereo)] .mp3"));
    currentProfile = &generalAudio("WAV - Waveform Audio");
    showSummaryLine(combo);
    ASSERT_EQ(combo.count(), 1);
    EXPECT_EQ(combo.currentText(), QStringLiteral("WAV - Waveform Audio  [pcm_s16le(Auto 44100 Stereo)] .wav"));
}

TEST_F(ProfileUiTest, DialogLayoutFollowsTheTemplate) {
    CProfileDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Edit Profile"));
    EXPECT_EQ(dialog.size(), inDialogUnits(0, 0, 254, 167).size());
    EXPECT_STREQ(dialog.metaObject()->className(), "CProfileDlg");
    struct Place { int id, x, y, width; };
    for (const Place& place : {Place{1051, 69, 71, 153}, Place{1052, 69, 91, 48}, Place{1053, 69, 113, 48},
                               Place{1054, 174, 91, 48}, Place{1056, 69, 32, 154}}) {
        QComboBox* box = combo(dialog, place.id);
        ASSERT_NE(box, nullptr);
        const QRect expected = inDialogUnits(place.x, place.y, place.width, 0);
        EXPECT_EQ(box->pos(), expected.topLeft()) << place.id;
        EXPECT_EQ(box->width(), expected.width()) << place.id;
        EXPECT_FALSE(box->isEditable());
    }
    const auto buttons = dialog.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 1); // OK only: Escape and the close box are the cancel
    EXPECT_EQ(buttons[0]->text(), QStringLiteral("OK"));
    EXPECT_EQ(buttons[0]->geometry(), inDialogUnits(197, 145, 50, 14));
    const auto groups = dialog.findChildren<QGroupBox*>();
    ASSERT_EQ(groups.size(), 1);
    EXPECT_EQ(groups[0]->title(), QStringLiteral("Audio"));
}

TEST_F(ProfileUiTest, DialogShowsTheStartValues) {
    CProfileDlg dialog;
    QLabel* name = nullptr;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->property("controlId").toInt() == CProfileDlg::IDC_PROFILE_NAME) {
            name = label;
        }
    }
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), QStringLiteral("MP3 - MPEG Layer-3 Audio"));
    EXPECT_EQ(combo(dialog, 1056)->currentText(), QStringLiteral(".mp3"));
    EXPECT_EQ(items(combo(dialog, 1051)), QStringList{QStringLiteral("mp3")});
    EXPECT_EQ(combo(dialog, 1052)->currentText(), QStringLiteral("128K"));
    EXPECT_EQ(combo(dialog, 1052)->count(), 11);
    EXPECT_EQ(combo(dialog, 1054)->currentText(), QStringLiteral("48000"));
    EXPECT_EQ(items(combo(dialog, 1053)),
              (QStringList{QStringLiteral("Stereo"), QStringLiteral("Auto"), QStringLiteral("Mono")}));
    EXPECT_EQ(combo(dialog, 1053)->currentIndex(), 0);
}

TEST_F(ProfileUiTest, EachAudioCodecKeepsItsOwnSettings) {
    ConversionProfile& wma = generalAudio("WMA - Windows Media Audio");
    currentProfile = &wma;
    CProfileDlg dialog;
    dialog.show();
    QComboBox* codec = combo(dialog, 1051);
    QComboBox* bitRate = combo(dialog, 1052);
    EXPECT_EQ(items(codec), (QStringList{QStringLiteral("Windows Media Audio V7"),
                                         QStringLiteral("Windows Media Audio V8")}));
    EXPECT_EQ(codec->currentIndex(), 1);

    chooseEntry(codec, 0);
    EXPECT_EQ(wma.audioCodecIndex, 0);
    EXPECT_EQ(bitRate->currentText(), QStringLiteral("128K"));
    chooseText(bitRate, "64K");
    EXPECT_STREQ(choiceListEntry(wma.audioCodecs[0].bitRates, wma.audioCodecs[0].bitRateIndex), "64K");

    chooseEntry(codec, 1);
    EXPECT_EQ(bitRate->currentText(), QStringLiteral("128K"));
    EXPECT_STREQ(choiceListEntry(wma.audioCodecs[1].bitRates, wma.audioCodecs[1].bitRateIndex), "128K");

    chooseEntry(codec, 0);
    EXPECT_EQ(bitRate->currentText(), QStringLiteral("64K"));
    EXPECT_EQ(summaryLine(), "WMA - Windows Media Audio  [Windows Media Audio V7(64K 44100 Stereo)] .wma");
}

TEST_F(ProfileUiTest, ChosenExtensionReachesTheSummaryLine) {
    ConversionProfile& ra = generalAudio("RA - Real Audio");
    currentProfile = &ra;
    CProfileDlg dialog;
    dialog.show();
    QComboBox* extension = combo(dialog, 1056);
    EXPECT_EQ(items(extension), (QStringList{QStringLiteral(".ra"), QStringLiteral(".ram")}));
    chooseText(extension, ".ram");
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_STREQ(selectedExtension(ra), ".ram");
    EXPECT_EQ(summaryLine(), "RA - Real Audio  [rmaudio(96K 44100 Stereo)] .ram");
}

TEST_F(ProfileUiTest, PcmCodecsOfferOnlyAutoBitRate) {
    currentProfile = &generalAudio("WAV - Waveform Audio");
    CProfileDlg dialog;
    EXPECT_EQ(combo(dialog, 1051)->count(), 6);
    for (int codec = 0; codec < 6; ++codec) {
        chooseEntry(combo(dialog, 1051), codec);
        EXPECT_EQ(items(combo(dialog, 1052)), QStringList{QStringLiteral("Auto")}) << codec;
    }
}

// No copy is kept and nothing is undone: Escape, the close box and OK all keep the choice.
TEST_F(ProfileUiTest, EveryWayOutKeepsTheChoices) {
    ConversionProfile& mp3 = *currentProfile;
    const std::function<void(CProfileDlg&)> ways[] = {
        [](CProfileDlg& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); },
        [](CProfileDlg& dialog) { dialog.close(); },
        [](CProfileDlg& dialog) { dialog.findChildren<QPushButton*>().at(0)->click(); },
    };
    int bitRate = 0;
    for (const auto& leave : ways) {
        CProfileDlg dialog;
        dialog.show();
        chooseEntry(combo(dialog, 1052), bitRate);
        chooseText(combo(dialog, 1054), "22050");
        chooseText(combo(dialog, 1053), "Mono");
        leave(dialog);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(mp3.audioCodecs[0].bitRateIndex, bitRate);
        EXPECT_STREQ(choiceListEntry(mp3.audioCodecs[0].sampleRates, mp3.audioCodecs[0].sampleRateIndex), "22050");
        EXPECT_STREQ(choiceListEntry(mp3.audioCodecs[0].channels, mp3.audioCodecs[0].channelsIndex), "Mono");
        ++bitRate;
    }
    EXPECT_EQ(summaryLine(), "MP3 - MPEG Layer-3 Audio  [mp3(64K 22050 Mono)] .mp3");
}

TEST_F(ProfileUiTest, ReopenedDialogShowsTheEditedValues) {
    {
        CProfileDlg dialog;
        chooseText(combo(dialog, 1052), "320K");
    }
    CProfileDlg again;
    EXPECT_EQ(combo(again, 1052)->currentText(), QStringLiteral("320K"));
}

TEST_F(ProfileUiTest, FillChoiceComboAppendsAndSelects) {
    QComboBox box;
    box.addItem(QStringLiteral("kept"));
    CProfileDlg::fillChoiceCombo("Stereo\0 Auto\0 Mono\0", box, 2);
    EXPECT_EQ(items(&box), (QStringList{QStringLiteral("kept"), QStringLiteral("Stereo"), QStringLiteral("Auto"),
                                        QStringLiteral("Mono")}));
    EXPECT_EQ(box.currentIndex(), 2);
    QComboBox empty;
    CProfileDlg::fillChoiceCombo(nullptr, empty, 0);
    EXPECT_EQ(empty.count(), 0);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
