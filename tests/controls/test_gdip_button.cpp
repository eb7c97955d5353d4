// CGdipButton: looks composed over the captured background, hover matrix, pressed shift, clicks
// and tooltips.
#include <QBuffer>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "gdip_button.h"
#include "gdiplus_bitmap.h"
#include "test_parent.h"
#include "tool_tip.h"

namespace {

// A 78 x 78 image: opaque red in its upper-left half, fully transparent elsewhere, so that the
// background must show through half of it.
CGdiPlusBitmapResource* halfImage(int size = 78) {
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.setPixel(x, y, x + y < size ? qRgba(200, 40, 20, 255) : qRgba(0, 0, 0, 0));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    auto* bitmap = new CGdiPlusBitmapResource;
    bitmap->LoadFromData(png);
    return bitmap;
}

class GdipButtonTest : public ::testing::Test {
protected:
    GdipButtonTest() : button(&parent, 1009) {
        // The main window's Start button: 87 x 87 with a 78 x 78 image.
        button.setGeometry(20, 30, 87, 87);
    }
    QRgb bg(int x, int y) const { return TestParent::patternAt(20 + x, 30 + y); }
    QImage buttonArea() { return parent.renderAll().copy(button.geometry()); }
    void hover(bool on) {
        if (on) {
            QEnterEvent enter(QPointF(5, 5), QPointF(25, 35), QPointF(25, 35));
            QCoreApplication::sendEvent(&button, &enter);
        } else {
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(&button, &leave);
        }
    }

    TestParent parent;
    CGdipButton button;
};

TEST_F(GdipButtonTest, UncoveredPartShowsTheBackgroundInEveryLook) {
    button.SetImage(halfImage());
    const QImage normal = buttonArea();
    button.setDown(true);
    const QImage pressed = buttonArea();
    button.setDown(false);
    hover(true);
    const QImage hovered = buttonArea();
    ASSERT_TRUE(button.imagesReady());

    for (const QImage* look : {&normal, &pressed, &hovered}) {
        // Right of and below the image, and the image's own transparent half.
        for (QPoint p : {QPoint(86, 0), QPoint(80, 40), QPoint(40, 86), QPoint(86, 86),
                         QPoint(70, 70), QPoint(79, 79)})
            EXPECT_EQ(look->pixel(p), bg(p.x(), p.y())) << p.x() << "," << p.y();
    }
    EXPECT_EQ(normal.pixel(0, 0), qRgb(200, 40, 20));
    // Pressed: the image one pixel lower right; its first row and column are background.
    EXPECT_EQ(pressed.pixel(0, 0), bg(0, 0));
    EXPECT_EQ(pressed.pixel(1, 1), qRgb(200, 40, 20));
    EXPECT_EQ(pressed.pixel(77, 1), qRgb(200, 40, 20)); // x + y = 76 in image coordinates
    EXPECT_EQ(normal.pixel(77, 1), bg(77, 1));
    writeLook(normal, "button_normal.png");
    writeLook(pressed, "button_pressed.png");
    writeLook(hovered, "button_hover.png");
}

TEST_F(GdipButtonTest, HoverLookIsTheImageThroughTheColourMatrix) {
    button.SetImage(halfImage());
    const QImage normal = buttonArea();
    hover(true);
    EXPECT_TRUE(button.isHovering());
    const QImage hovered = buttonArea();
    // 1.05 c + 0.05 on 0..1: 200 -> 223, 40 -> 55, 20 -> 34.
    EXPECT_EQ(normal.pixel(10, 10), qRgb(200, 40, 20));
    EXPECT_EQ(hovered.pixel(10, 10), qRgb(223, 55, 34));
    hover(false);
    EXPECT_FALSE(button.isHovering());
    EXPECT_EQ(buttonArea().pixel(10, 10), qRgb(200, 40, 20));
}

TEST(GdipButtonMatrix, BrightensColoursClampsAndKeepsAlpha) {
    QImage image(3, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0, 0, 0, 255));
    image.setPixel(1, 0, qRgba(255, 250, 100, 128));
    image.setPixel(2, 0, qRgba(10, 20, 30, 0));
    const QImage out = CGdipButton::applyHoverMatrix(image);
    EXPECT_EQ(out.pixel(0, 0), qRgba(13, 13, 13, 255)); // 0.05 * 255 = 12.75
    EXPECT_EQ(out.pixel(1, 0), qRgba(255, 255, 118, 128));
    EXPECT_EQ(qAlpha(out.pixel(2, 0)), 0);
}

TEST_F(GdipButtonTest, LooksAreBuiltOnceFromTheFirstBackground) {
    button.SetImage(halfImage());
    buttonArea();
    const QImage first = button.normalLook();
    parent.handOverBackground = false;
    buttonArea();
    EXPECT_EQ(button.normalLook(), first);
}

TEST_F(GdipButtonTest, FocusDefaultAndDisabledHaveNoLookOfTheirOwn) {
    button.SetImage(halfImage());
    const QImage normal = buttonArea();
    button.setEnabled(false);
    EXPECT_EQ(buttonArea(), normal);
    button.setEnabled(true);
    button.setDefault(true);
    button.setFocus();
    EXPECT_EQ(buttonArea(), normal);
}

TEST_F(GdipButtonTest, MissingImageDrawsNothingAndStillClicks) {
    auto* image = new CGdiPlusBitmapResource;
    EXPECT_FALSE(image->Load(10008));
    button.SetImage(image);
    const QImage area = buttonArea();
    EXPECT_FALSE(button.imagesReady());
    for (QPoint p : {QPoint(0, 0), QPoint(40, 40), QPoint(86, 86)})
        EXPECT_EQ(area.pixel(p), bg(p.x(), p.y()));
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(GdipButtonTest, DoubleClickGivesTwoClicks) {
    button.SetImage(halfImage());
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    const QPoint centre = button.geometry().center();
    // The window-level double click sends press, release, double click, release, as a real one.
    QTest::mouseDClick(parent.windowHandle(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(GdipButtonTest, EmptyTooltipNeverCreatesATooltipControl) {
    button.SetImage(halfImage());
    button.SetTooltipText(QString(), true);
    EXPECT_EQ(button.tooltipControl(), nullptr);
    hover(true);
    EXPECT_EQ(button.tooltipControl(), nullptr);
    hover(false);
    hover(true);
    EXPECT_EQ(button.tooltipControl(), nullptr);
}

TEST_F(GdipButtonTest, TooltipWaitsASecondAndIsRenewedOnHover) {
    button.SetTooltipText("Convert the list", true);
    ASSERT_NE(button.tooltipControl(), nullptr);
    EXPECT_EQ(button.tooltipControl()->text(), "Convert the list");
    EXPECT_EQ(button.tooltipControl()->delayTime(), 1000);
    EXPECT_TRUE(button.tooltipControl()->isActive());
    button.SetTooltipText("Start", false);
    EXPECT_FALSE(button.tooltipControl()->isActive());
    hover(true);
    ASSERT_NE(button.tooltipControl(), nullptr);
    EXPECT_TRUE(button.tooltipControl()->isActive());
    EXPECT_EQ(button.tooltipControl()->text(), "Start");
}

TEST_F(GdipButtonTest, TooltipShowsAfterTheMouseRestsAndHidesOnLeave) {
    button.SetImage(halfImage());
    button.SetTooltipText("Convert the list", true);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    // Start off the button: an earlier test may have left the pointer where this one goes.
    QTest::mouseMove(parent.windowHandle(), QPoint(2, 2));
    QTest::mouseMove(parent.windowHandle(), button.geometry().center());
    QTest::qWait(500);
    ASSERT_NE(button.tooltipControl(), nullptr);
    EXPECT_FALSE(button.tooltipControl()->isShowing()); // not before a second has passed
    EXPECT_TRUE(QTest::qWaitFor([&] { return button.tooltipControl()->isShowing(); }, 1500));
    QTest::mouseMove(parent.windowHandle(), QPoint(2, 2));
    EXPECT_FALSE(button.tooltipControl()->isShowing());
    EXPECT_FALSE(button.isHovering());
}

TEST(LoadButtonImages, LoadsEveryRowAndLeavesFailuresEmpty) {
    TestParent parent;
    CGdipButton start(&parent, 1009);
    CGdipButton missing(&parent, 1001);
    CGdipButton help(&parent, 1019);
    const ButtonImageEntry table[] = {
        {&start, 10007}, {&missing, 10008}, {&help, 10015}, {nullptr, 0}};
    LoadButtonImages(table);
    ASSERT_NE(start.image(), nullptr);
    EXPECT_EQ(start.image()->width(), 78);
    ASSERT_NE(missing.image(), nullptr);
    EXPECT_TRUE(missing.image()->isEmpty());
    EXPECT_EQ(help.image()->height(), 14);
    // The string table holds nothing under these control ids: no tooltips.
    EXPECT_EQ(start.tooltipControl(), nullptr);
    EXPECT_EQ(help.tooltipControl(), nullptr);
    LoadButtonImages(nullptr); // an absent table is harmless
}

TEST(LoadButtonImages, SkinButtonsOverTheirBackgroundForALook) {
    // The real artwork on a dark plate, in its three looks.
    TestParent parent(QSize(140, 100));
    CGdipButton open(&parent, 1002);
    open.setGeometry(10, 10, 117, 44);
    const ButtonImageEntry table[] = {{&open, 10003}, {nullptr, 0}};
    LoadButtonImages(table);
    const QImage normal = parent.renderAll().copy(open.geometry());
    EXPECT_EQ(normal.size(), QSize(117, 44));
    writeLook(open.normalLook(), "open_file_normal.png");
    writeLook(open.hoverLook(), "open_file_hover.png");
    writeLook(open.pressedLook(), "open_file_pressed.png");
    EXPECT_NE(open.normalLook(), open.hoverLook());
    EXPECT_NE(open.normalLook(), open.pressedLook());
}

} // namespace
