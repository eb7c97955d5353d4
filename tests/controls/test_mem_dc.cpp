// The shared drawing operations: off-screen surfaces, key-colour masks, masked copies, background
// capture, texts from the string table and PNG loading.
#include <QLabel>
#include <QPicture>
#include <QWidget>

#include <gtest/gtest.h>

#include "gdiplus_bitmap.h"
#include "mem_dc.h"
#include "skin_resources.h"
#include "string_table.h"

namespace {

QImage solid(int w, int h, QRgb colour, QImage::Format format = QImage::Format_RGB32) {
    QImage image(w, h, format);
    image.fill(colour);
    return image;
}

TEST(KeyColorMask, KeyPixelsTurnBlackInTheSourceAndWhiteInTheMask) {
    QImage source = solid(4, 2, qRgb(200, 100, 50), QImage::Format_RGB888);
    source.setPixel(0, 0, qRgb(1, 22, 128));
    source.setPixel(1, 0, qRgb(1, 22, 129)); // one step off the key: an ordinary colour
    source.setPixel(2, 1, qRgb(1, 22, 128));
    QImage mask;
    MakeKeyColorMask(mask, source);

    ASSERT_EQ(mask.size(), source.size());
    EXPECT_EQ(mask.depth(), 1);
    EXPECT_EQ(source.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(mask.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(source.pixel(1, 0), qRgb(1, 22, 129));
    EXPECT_EQ(mask.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(source.pixel(2, 1), qRgb(0, 0, 0));
    EXPECT_EQ(mask.pixel(2, 1), qRgb(255, 255, 255));
    EXPECT_EQ(source.pixel(3, 1), qRgb(200, 100, 50));
    EXPECT_EQ(mask.pixel(3, 1), qRgb(0, 0, 0));
}

TEST(KeyColorMask, DrawMaskedKeepsTheDestinationWhereTheKeyWas) {
    QImage source = solid(3, 3, qRgb(10, 200, 30));
    source.setPixel(1, 1, SKIN_KEY_COLOR);
    source.setPixel(2, 0, SKIN_KEY_COLOR);
    QImage mask;
    MakeKeyColorMask(mask, source);

    for (auto format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
        QImage destination = solid(5, 5, qRgb(250, 240, 230), format);
        {
            QPainter p(&destination);
            DrawMasked(p, 1, 1, 3, 3, source, 0, 0, mask);
        }
        EXPECT_EQ(destination.pixel(2, 2), qRgb(250, 240, 230)); // key: destination shows
        EXPECT_EQ(destination.pixel(3, 1), qRgb(250, 240, 230));
        EXPECT_EQ(destination.pixel(1, 1), qRgb(10, 200, 30)); // opaque: the source colour
        EXPECT_EQ(destination.pixel(3, 3), qRgb(10, 200, 30));
        EXPECT_EQ(destination.pixel(0, 0), qRgb(250, 240, 230)); // outside: untouched
        EXPECT_EQ(destination.pixel(4, 4), qRgb(250, 240, 230));
    }
}

TEST(KeyColorMask, DrawMaskedCopiesAPartFromTheSourceOffset) {
    QImage source(4, 1, QImage::Format_RGB32);
    for (int x = 0; x < 4; ++x)
        source.setPixel(x, 0, qRgb(x * 60, 0, 0));
    source.setPixel(3, 0, SKIN_KEY_COLOR);
    QImage mask;
    MakeKeyColorMask(mask, source);
    QImage destination = solid(2, 1, qRgb(0, 0, 255));
    QPainter p(&destination);
    DrawMasked(p, 0, 0, 2, 1, source, 2, 0, mask);
    p.end();
    EXPECT_EQ(destination.pixel(0, 0), qRgb(120, 0, 0));
    EXPECT_EQ(destination.pixel(1, 0), qRgb(0, 0, 255));
}

TEST(MemDC, CopiesItsAreaToTheTargetOnlyWhenItEnds) {
    QImage target = solid(20, 10, qRgb(0, 0, 255), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&target);
    {
        CMemDC dc(&painter, QRect(5, 2, 10, 6), false);
        ASSERT_TRUE(dc.isOffScreen());
        // Same coordinates as on the target.
        dc->fillRect(QRect(5, 2, 10, 6), Qt::red);
        dc->fillRect(QRect(0, 0, 7, 4), Qt::green); // partly outside the area: clipped
        EXPECT_EQ(target.pixel(6, 3), qRgb(0, 0, 255)); // nothing on the target yet
    }
    painter.end();
    EXPECT_EQ(target.pixel(6, 3), qRgb(0, 255, 0));
    EXPECT_EQ(target.pixel(8, 6), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(4, 3), qRgb(0, 0, 255));
    EXPECT_EQ(target.pixel(15, 3), qRgb(0, 0, 255));
}

TEST(MemDC, AllZeroAreaIsTheTargetsClipBox) {
    QImage target = solid(20, 10, qRgb(0, 0, 255), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&target);
    {
        CMemDC whole(&painter, QRect(0, 0, 0, 0), true);
        EXPECT_EQ(whole.area(), QRect(0, 0, 20, 10));
    }
    painter.setClipRect(QRect(3, 4, 5, 2));
    {
        CMemDC clipped(&painter);
        EXPECT_EQ(clipped.area(), QRect(3, 4, 5, 2));
        clipped->fillRect(clipped.area(), Qt::white);
    }
    painter.end();
    EXPECT_EQ(target.pixel(3, 4), qRgb(255, 255, 255));
    EXPECT_EQ(target.pixel(2, 4), qRgb(0, 0, 255));
}

TEST(MemDC, CopyFirstStartsFromWhatTheTargetShows) {
    QImage target = solid(10, 10, qRgb(0, 0, 0), QImage::Format_ARGB32_Premultiplied);
    target.setPixel(4, 4, qRgb(9, 8, 7));
    QPainter painter(&target);
    {
        CMemDC dc(&painter, QRect(3, 3, 4, 4), true);
        EXPECT_EQ(dc.surface().pixel(1, 1), qRgb(9, 8, 7));
        dc->fillRect(QRect(6, 6, 1, 1), Qt::white);
    }
    painter.end();
    EXPECT_EQ(target.pixel(4, 4), qRgb(9, 8, 7)); // copied back unchanged
    EXPECT_EQ(target.pixel(6, 6), qRgb(255, 255, 255));
}

TEST(MemDC, RecordingTargetsAreDrawnOnDirectly) {
    // A picture (like a printer) cannot be read back: drawing goes straight to it.
    QPicture picture;
    QPainter painter(&picture);
    {
        CMemDC dc(&painter, QRect(0, 0, 10, 10), true);
        EXPECT_FALSE(dc.isOffScreen());
        EXPECT_EQ(&dc.painter(), &painter);
        dc->fillRect(QRect(0, 0, 10, 10), Qt::red);
    }
    painter.end();
    QImage replay = solid(10, 10, qRgb(0, 0, 0));
    QPainter p(&replay);
    picture.play(&p);
    p.end();
    EXPECT_EQ(replay.pixel(5, 5), qRgb(255, 0, 0));
}

TEST(CaptureParentBackground, TakesThePixelsUnderTheControlOnce) {
    QWidget parent;
    parent.resize(40, 30);
    QWidget child(&parent);
    child.setGeometry(10, 5, 6, 4);
    QImage surface = solid(40, 30, qRgb(0, 0, 0));
    surface.setPixel(10, 5, qRgb(1, 2, 3));
    surface.setPixel(15, 8, qRgb(4, 5, 6));
    QImage background;
    {
        QPainter p(&surface);
        CaptureParentBackground(child, p, background);
    }
    ASSERT_EQ(background.size(), QSize(6, 4));
    EXPECT_EQ(background.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(background.pixel(5, 3), qRgb(4, 5, 6));

    // A second capture, after the parent changed, keeps the first copy.
    surface.fill(qRgb(255, 255, 255));
    QPainter p(&surface);
    CaptureParentBackground(child, p, background);
    EXPECT_EQ(background.pixel(0, 0), qRgb(1, 2, 3));
}

TEST(SetWindowTextFromResource, SetsLabelTextsAndTitles) {
    QLabel label("old");
    SetWindowTextFromResource(IDS_ABOUT_PRODUCT, &label);
    EXPECT_EQ(label.text(), "Nemarro - 1.7.29");
    SetWindowTextFromResource(4242, &label);
    EXPECT_EQ(label.text(), "");
    QWidget window;
    SetWindowTextFromResource(IDS_ABOUT_TITLE, &window);
    EXPECT_EQ(window.windowTitle(), "About Nemarro");
    SetWindowTextFromResource(IDS_ABOUT_TITLE, nullptr); // nothing to set: no crash
}

TEST(GdiPlusBitmapResource, LoadsAStraightAlphaImageAtItsPixelSize) {
    CGdiPlusBitmapResource image;
    EXPECT_TRUE(image.isEmpty());
    ASSERT_TRUE(image.Load(IDP_OPEN_FILE));
    EXPECT_EQ(image.width(), 117);
    EXPECT_EQ(image.height(), 44);
    EXPECT_EQ(image.bitmap().format(), QImage::Format_ARGB32);
}

TEST(GdiPlusBitmapResource, MissingIdFailsAndEmptiesWhatWasHeld) {
    CGdiPlusBitmapResource image;
    ASSERT_TRUE(image.Load(IDP_START));
    EXPECT_FALSE(image.Load(10008)); // no image has this id
    EXPECT_TRUE(image.isEmpty());
    EXPECT_FALSE(image.Load(IDB_BACKGROUND)); // a bitmap, not a "WXPNG" image
    EXPECT_TRUE(image.isEmpty());
}

TEST(GdiPlusBitmapResource, LoadingTwiceKeepsOnlyTheSecondImage) {
    CGdiPlusBitmapResource image;
    ASSERT_TRUE(image.Load(IDP_START));
    ASSERT_TRUE(image.Load(IDP_HOME));
    EXPECT_EQ(image.bitmap().size(), QSize(33, 12));
    QImage expected;
    ASSERT_TRUE(expected.loadFromData(skinPngData(IDP_HOME), "PNG"));
    EXPECT_EQ(image.bitmap(), expected.convertToFormat(QImage::Format_ARGB32));
}

TEST(GdiPlusBitmapResource, UndecodableBytesFail) {
    CGdiPlusBitmapResource image;
    ASSERT_TRUE(image.Load(IDP_MIN));
    EXPECT_FALSE(image.LoadFromData(QByteArray("\x89PNG\r\n\x1a\nbroken", 14)));
    EXPECT_TRUE(image.isEmpty());
    image.Empty(); // emptying an empty object is harmless
    EXPECT_TRUE(image.Load(IDP_MIN));
}

} // namespace
