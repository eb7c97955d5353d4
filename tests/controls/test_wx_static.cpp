// CwxStatic: text over the captured background, cut length, colours, the underline font, the
// solid fill and the notifications to the parent.
#include <QEnterEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "test_parent.h"
#include "tool_tip.h"
#include "wx_static.h"

namespace {

class LabelTest : public ::testing::Test {
protected:
    LabelTest() : parent(QSize(400, 60)), label(&parent, 1035) {
        label.setGeometry(10, 20, 300, 22);
        QFont font("DejaVu Sans");
        font.setPixelSize(14);
        label.setFont(font);
    }
    QImage labelArea() { return parent.renderAll().copy(label.geometry()); }
    QRgb bg(int x, int y) const { return TestParent::patternAt(10 + x, 20 + y); }
    // Pixels of the label that differ from what lies behind it.
    int inked(const QImage& area) const {
        int n = 0;
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                n += area.pixel(x, y) != bg(x, y);
        return n;
    }

    TestParent parent;
    CwxStatic label;
};

TEST_F(LabelTest, DrawsItsTextOverTheCapturedBackground) {
    label.setText("Nemarro Software");
    label.SetTextColor(QColor(0, 0, 255));
    const QImage area = labelArea();
    EXPECT_GT(inked(area), 40);
    EXPECT_EQ(area.pixel(299, 0), bg(299, 0)); // far right: nothing drawn
    int blue = 0;
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < 150; ++x)
            blue += area.pixel(x, y) == qRgb(0, 0, 255);
    EXPECT_GT(blue, 10);
    writeLook(area, "label_blue.png");
}

TEST_F(LabelTest, NewTextLeavesNoTraceOfTheOld) {
    label.setText("WWWWWWWWWWWWWWWW");
    labelArea();
    label.setText("i");
    const QImage area = labelArea();
    // Only the narrow new text is inked; everything right of it is background again.
    for (int y = 0; y < area.height(); ++y)
        for (int x = 20; x < area.width(); ++x)
            ASSERT_EQ(area.pixel(x, y), bg(x, y)) << x << "," << y;
}

TEST_F(LabelTest, TextLongerThan259CharactersIsCut) {
    label.setGeometry(0, 20, 4000, 22);
    parent.resize(4000, 60);
    // 259 spaces, then letters that would show if the text were not cut.
    label.setText(QString(259, ' ') + QString(41, 'X'));
    EXPECT_EQ(label.drawnText().size(), 259);
    const QImage area = parent.renderAll().copy(label.geometry());
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            ASSERT_EQ(area.pixel(x, y), TestParent::patternAt(x, 20 + y)) << x << "," << y;
    // A cut through a character of two UTF-16 units drops the whole character.
    label.setText(QString(258, 'a') + QString::fromUtf8("\xF0\x9F\x8E\xB5") + "tail");
    EXPECT_EQ(label.drawnText(), QString(258, 'a'));
    label.setText(QString(257, 'a') + QString::fromUtf8("\xF0\x9F\x8E\xB5") + "tail");
    EXPECT_EQ(label.drawnText().size(), 259);
    label.setText(QString(258, ' ') + "XX");
    EXPECT_GT(inked(parent.renderAll().copy(label.geometry())), 0);
}

TEST_F(LabelTest, UnderlineMakesOneFontOnlyWhenAskedFor) {
    label.setText("plain");
    labelArea();
    EXPECT_FALSE(label.hasOwnFont());
    const QImage plain = labelArea();
    label.SetUnderline(true);
    const QImage underlined = labelArea();
    EXPECT_TRUE(label.hasOwnFont());
    EXPECT_GT(inked(underlined), inked(plain));
    writeLook(underlined, "label_underlined.png");
}

TEST_F(LabelTest, FillGivesASolidDialogColouredBackground) {
    parent.handOverBackground = false;
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(236, 233, 216));
    parent.setPalette(palette);
    label.CaptureBackground(nullptr, true);
    label.setText("");
    const QImage area = labelArea();
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            ASSERT_EQ(area.pixel(x, y), qRgb(236, 233, 216)) << x << "," << y;
    // Captured once: a later hand-over changes nothing.
    parent.handOverBackground = true;
    EXPECT_EQ(labelArea().pixel(5, 5), qRgb(236, 233, 216));
}

TEST_F(LabelTest, CapturesTheBackgroundItselfWhenNotHandedOver) {
    parent.handOverBackground = false;
    label.setText("");
    const QImage area = labelArea();
    EXPECT_EQ(inked(area), 0);
    EXPECT_FALSE(label.background().isNull());
}

TEST_F(LabelTest, WithoutNotifyTheMousePassesThrough) {
    EXPECT_TRUE(label.testAttribute(Qt::WA_TransparentForMouseEvents));
    label.SetNotify(true);
    EXPECT_FALSE(label.testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST_F(LabelTest, HandPointerOnlyWithTheLinkCursor) {
    EXPECT_NE(label.cursor().shape(), Qt::PointingHandCursor);
    label.SetLinkCursor(true);
    EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
    label.SetLinkCursor(false);
    EXPECT_NE(label.cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(LabelTest, TellsTheParentAboutHoverLeaveAndRightClicks) {
    label.SetNotify(true);
    QEnterEvent enter(QPointF(3, 3), QPointF(13, 23), QPointF(13, 23));
    QCoreApplication::sendEvent(&label, &enter);
    EXPECT_EQ(parent.count(WM_LABEL_HOVER), 0); // only once the pointer has rested
    QTest::qWait(CwxStatic::kHoverTime + 150);
    EXPECT_EQ(parent.count(WM_LABEL_HOVER), 1);
    QTest::qWait(CwxStatic::kHoverTime + 50);
    EXPECT_EQ(parent.count(WM_LABEL_HOVER), 1); // one per visit

    QMouseEvent right(QEvent::MouseButtonPress, QPointF(3, 3), label.mapToGlobal(QPointF(3, 3)),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&label, &right);
    EXPECT_EQ(parent.count(WM_LABEL_RBUTTONDOWN), 1);

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&label, &leave);
    EXPECT_EQ(parent.count(WM_LABEL_LEAVE), 1);
    for (const auto& r : parent.received) {
        EXPECT_EQ(r.controlId, 1035);
        EXPECT_EQ(r.source, &label);
        EXPECT_EQ(r.value, 0);
    }
}

TEST_F(LabelTest, LeftClickWithNotifyEmitsClicked) {
    label.SetNotify(true);
    QSignalSpy clicks(&label, &CwxStatic::clicked);
    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(LabelTest, TooltipFromTheStringTableOnlyWhenThereIsAString) {
    label.CaptureBackground(nullptr, true);
    EXPECT_EQ(label.tooltipControl(), nullptr); // no string under 1035
    label.SetTooltipFromResource(20100);
    ASSERT_NE(label.tooltipControl(), nullptr);
    EXPECT_EQ(label.tooltipControl()->text(), "https://www.nemarro.example/");
    EXPECT_EQ(label.tooltipControl()->delayTime(), 400);
    CwxStatic other(&parent, 20110); // an id that does have a string
    other.CaptureBackground(nullptr, true);
    ASSERT_NE(other.tooltipControl(), nullptr);
    EXPECT_EQ(other.tooltipText(), "Reading File Info ,please wait...");
}

} // namespace
