// The about box: its texts, the maker's name as a link that opens the home page and
// leaves the box open, and the same texts at every opening.
#include "about_dlg.h"
#include "manual.h"

#include "shell_open.h"
#include "string_table.h"
#include "wx_static.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

class AboutDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = setShellOpener([this](const QUrl& url) { m_opened.push_back(url.toString()); });
    }
    void TearDown() override { setShellOpener(m_previous); }

    std::vector<QString> m_opened;
    ShellOpener m_previous;
};

QStringList texts(const CAboutDlg& about) {
    return {about.windowTitle(), about.product()->text(), about.copyright()->text(), about.makerLink()->text()};
}

TEST_F(AboutDlgTest, ShowsTheProductTheCopyrightAndTheLink) {
    CAboutDlg about;
    about.show();
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Nemarro"));
    EXPECT_EQ(about.product()->text(), QStringLiteral("Nemarro - 1.7.29"));
    EXPECT_EQ(about.copyright()->text(), loadString(IDS_ABOUT_COPYRIGHT));
    EXPECT_TRUE(about.copyright()->text().contains(QStringLiteral("Nemarro")));
    EXPECT_EQ(about.makerLink()->text(), loadString(IDS_ABOUT_MAKER));
    EXPECT_FALSE(about.makerLink()->text().isEmpty());

    CwxStatic* link = about.makerLink();
    EXPECT_TRUE(link->underline());
    EXPECT_TRUE(link->linkCursor());
    EXPECT_TRUE(link->notify());
    EXPECT_EQ(link->textColor(), QColor(0, 0, 255));
    EXPECT_EQ(link->tooltipText(), manualPage(kManualFirstPage).toString());
    EXPECT_FALSE(about.product()->notify());
    EXPECT_FALSE(about.product()->underline());

    bool iconShown = false;
    for (QLabel* label : about.findChildren<QLabel*>()) {
        iconShown = iconShown || !label->pixmap().isNull();
    }
    EXPECT_TRUE(iconShown);
    ASSERT_EQ(about.findChildren<QPushButton*>().size(), 1);
    EXPECT_EQ(about.findChildren<QPushButton*>().at(0)->text(), QStringLiteral("OK"));
}

TEST_F(AboutDlgTest, EveryTextIsWholeInItsLabel) {
    CAboutDlg about;
    about.show();
    for (const CwxStatic* label : {about.product(), about.copyright(), about.makerLink()}) {
        QFont font = label->font();
        font.setUnderline(label->underline());
        const QFontMetrics metrics(font);
        EXPECT_EQ(font.pointSize(), 8);
        EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width()) << label->text().toStdString();
        EXPECT_LE(metrics.height(), label->height()) << label->text().toStdString();
    }
}

TEST_F(AboutDlgTest, SecondOpeningShowsTheSameTexts) {
    QStringList first;
    {
        CAboutDlg about;
        about.show();
        QTest::qWait(10);
        first = texts(about);
        about.findChildren<QPushButton*>().at(0)->click();
        EXPECT_FALSE(about.isVisible());
    }
    CAboutDlg again;
    again.show();
    QTest::qWait(10);
    EXPECT_EQ(texts(again), first);
    EXPECT_FALSE(again.makerLink()->background().isNull());
}

TEST_F(AboutDlgTest, LinkClickOpensTheManualAndKeepsTheBoxOpen) {
    CAboutDlg about;
    about.show();
    QTest::mouseClick(about.makerLink(), Qt::LeftButton, {}, QPoint(3, about.makerLink()->height() / 2));
    ASSERT_EQ(m_opened.size(), 1u);
    EXPECT_EQ(m_opened[0], manualPage(kManualFirstPage).toString());
    EXPECT_TRUE(about.isVisible());
    QTest::mouseClick(about.product(), Qt::LeftButton);
    EXPECT_EQ(m_opened.size(), 1u); // plain labels are not links
}

} // namespace
