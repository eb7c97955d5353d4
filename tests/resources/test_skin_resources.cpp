// The skin compiled into the program: every image at its id and size, PNGs with per-pixel alpha
// and no resolution chunk, bitmaps keyed outside the window's outline but never where controls sit.
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QRect>
#include <QtEndian>

#include <vector>

#include <gtest/gtest.h>

#include "skin_resources.h"

namespace {

constexpr QRgb kKey = 0xFF011680;

bool isKey(QRgb pixel) {
    return (pixel | 0xFF000000) == kKey;
}

void writeLook(const QImage& image, const QString& name) {
    QDir().mkpath(NEMARRO_LOOKS_DIR);
    image.save(QDir(NEMARRO_LOOKS_DIR).filePath(name));
}

struct PngEntry {
    int id;
    int width;
    int height;
    QRect placed; // where the main window puts the button
};

const PngEntry kPngs[] = {
    {IDP_MIN, 13, 6, {543, 24, 13, 6}},
    {IDP_CLOSE, 16, 14, {565, 19, 16, 14}},
    {IDP_OPEN_FILE, 117, 44, {102, 37, 117, 44}},
    {IDP_DELETE_FILE, 103, 44, {222, 37, 103, 44}},
    {IDP_CLEAR, 95, 44, {328, 37, 95, 44}},
    {IDP_SETTING, 73, 23, {410, 424, 73, 23}},
    {IDP_START, 78, 78, {500, 411, 78, 78}},
    {IDP_OPEN, 59, 23, {402, 458, 59, 23}},
    {IDP_BROWSE, 73, 23, {321, 458, 73, 23}},
    {IDP_STOP, 78, 78, {500, 411, 78, 78}},
    {IDP_HOME, 33, 12, {516, 63, 33, 12}},
    {IDP_HELP, 27, 14, {557, 63, 27, 14}},
};

// PNG header facts read from the bytes: colour type and whether a pHYs chunk is present.
struct PngFacts {
    int colourType = -1;
    int bitDepth = -1;
    bool resolutionChunk = false;
};

PngFacts pngFacts(const QByteArray& png) {
    PngFacts facts;
    if (png.size() < 33 || !png.startsWith("\x89PNG\r\n\x1a\n"))
        return facts;
    facts.bitDepth = static_cast<unsigned char>(png[24]);
    facts.colourType = static_cast<unsigned char>(png[25]);
    qsizetype pos = 8;
    while (pos + 12 <= png.size()) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + pos);
        if (png.mid(pos + 4, 4) == "pHYs")
            facts.resolutionChunk = true;
        pos += qsizetype(length) + 12;
    }
    return facts;
}

TEST(SkinResources, ButtonImagesAreRgbaPngsOfTheirSize) {
    for (const PngEntry& e : kPngs) {
        const QByteArray data = skinPngData(e.id);
        ASSERT_FALSE(data.isEmpty()) << e.id;
        const PngFacts facts = pngFacts(data);
        EXPECT_EQ(facts.colourType, 6) << e.id; // RGBA
        EXPECT_EQ(facts.bitDepth, 8) << e.id;
        EXPECT_FALSE(facts.resolutionChunk) << e.id;
        QImage image;
        ASSERT_TRUE(image.loadFromData(data, "PNG")) << e.id;
        EXPECT_EQ(image.size(), QSize(e.width, e.height)) << e.id;
        // Real artwork: some pixels opaque, some fully transparent or at least translucent.
        int opaque = 0;
        int clear = 0;
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height(); ++y)
            for (int x = 0; x < argb.width(); ++x) {
                const int a = qAlpha(argb.pixel(x, y));
                opaque += a == 255;
                clear += a < 128;
            }
        EXPECT_GT(opaque, 0) << e.id;
        EXPECT_GT(clear, 0) << e.id;
        writeLook(image, QString("wxpng_%1.png").arg(e.id));
    }
    EXPECT_TRUE(skinPngData(10008).isEmpty());
    EXPECT_TRUE(skinPngData(IDB_BACKGROUND).isEmpty()); // a bitmap, not a "WXPNG" image
}

TEST(SkinResources, BackgroundIsKeyedOutsideItsRoundedOutline) {
    const QImage bg = loadSkinBitmap(IDB_BACKGROUND);
    ASSERT_EQ(bg.size(), QSize(600, 500));
    for (QPoint corner : {QPoint(0, 0), QPoint(599, 0), QPoint(0, 499), QPoint(599, 499),
                          QPoint(6, 6), QPoint(593, 493)})
        EXPECT_TRUE(isKey(bg.pixel(corner))) << corner.x() << "," << corner.y();
    // The edges' middles are inside the window: a rounded outline, not a cut rectangle.
    for (QPoint inside : {QPoint(300, 5), QPoint(300, 494), QPoint(5, 250), QPoint(594, 250),
                          QPoint(300, 250)})
        EXPECT_FALSE(isKey(bg.pixel(inside))) << inside.x() << "," << inside.y();
    writeLook(bg, "bitmap_10000.png");
}

TEST(SkinResources, NoKeyPixelWhereAControlSits) {
    const QImage bg = loadSkinBitmap(IDB_BACKGROUND);
    ASSERT_FALSE(bg.isNull());
    std::vector<QRect> areas = {
        {26, 92, 549, 293},  // job list
        {102, 424, 302, 21}, // profile combo
        {102, 458, 212, 21}, // destination combo
        {41, 398, 458, 15},  // slider
    };
    for (const PngEntry& e : kPngs)
        areas.push_back(e.placed);
    for (const QRect& area : areas) {
        int keyed = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                keyed += isKey(bg.pixel(x, y));
        EXPECT_EQ(keyed, 0) << area.x() << "," << area.y();
    }
}

TEST(SkinResources, SliderChannelsAreKeyedAtTheirRoundedEndsOnly) {
    for (int id : {IDB_SLIDER_NORMAL, IDB_SLIDER_ACTIVE}) {
        const QImage channel = loadSkinBitmap(id);
        ASSERT_EQ(channel.size(), QSize(458, 15)) << id;
        EXPECT_TRUE(isKey(channel.pixel(0, 0))) << id;
        EXPECT_TRUE(isKey(channel.pixel(457, 14))) << id;
        for (int x = 8; x < 450; x += 7)
            EXPECT_FALSE(isKey(channel.pixel(x, 7))) << id << " x " << x;
        writeLook(channel, QString("bitmap_%1.png").arg(id));
    }
    // The two must differ: the done part reads apart from the rest.
    EXPECT_NE(loadSkinBitmap(IDB_SLIDER_NORMAL).pixel(200, 7),
              loadSkinBitmap(IDB_SLIDER_ACTIVE).pixel(200, 7));
}

TEST(SkinResources, EveryImageIsAlsoPaintedAtTwiceItsSizeForHiDpiScreens) {
    for (const PngEntry& png : kPngs) {
        const QByteArray data = skinPngData(png.id, 2);
        const QImage image = QImage::fromData(data, "PNG");
        EXPECT_EQ(image.size(), QSize(2 * png.width, 2 * png.height)) << png.id;
        EXPECT_EQ(pngFacts(data).colourType, pngFacts(skinPngData(png.id)).colourType) << png.id;
        EXPECT_FALSE(pngFacts(data).resolutionChunk) << png.id;
    }
    for (int id : {IDB_BACKGROUND, IDB_SLIDER_NORMAL, IDB_SLIDER_ACTIVE}) {
        const QImage twice = loadSkinBitmap(id, 2);
        EXPECT_EQ(twice.devicePixelRatio(), 2.0) << id;
        EXPECT_EQ(twice.deviceIndependentSize().toSize(), loadSkinBitmap(id, 1).size()) << id;
        EXPECT_EQ(twice.format(), QImage::Format_RGB32) << id;
    }
    // At a ratio of 1, as in every other test here, the images at their own size.
    EXPECT_EQ(skinScale(), 1);
    EXPECT_EQ(loadSkinBitmap(IDB_BACKGROUND).devicePixelRatio(), 1.0);
    const QIcon icon = loadAppIcon();
    EXPECT_EQ(icon.pixmap(QSize(256, 256), 2.0).size(), QSize(512, 512));
}

TEST(SkinResources, MissingIdsGiveNothing) {
    EXPECT_TRUE(loadSkinBitmap(10102).isNull());
    EXPECT_TRUE(loadSkinBitmap(10102, 2).isNull());
    EXPECT_TRUE(loadSkinBitmap(IDP_START).isNull());
    EXPECT_TRUE(loadAppIcon(1).isNull());
}

TEST(SkinResources, IconHasEverySize) {
    const QIcon icon = loadAppIcon();
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    for (int s : {16, 32, 48, 256})
        EXPECT_TRUE(sizes.contains(QSize(s, s))) << s;
    writeLook(icon.pixmap(256).toImage(), "icon_256.png");
    writeLook(icon.pixmap(32).toImage(), "icon_32.png");
}

} // namespace
