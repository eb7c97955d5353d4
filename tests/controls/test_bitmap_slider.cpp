// CBitmapSlider: the two channel images split at the position, the position/pixel mappings with
// their truncation, clamping, dragging, keys and the notifications posted to the parent.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <climits>

#include "bitmap_slider.h"
#include "mem_dc.h"
#include "skin_resources.h"
#include "test_parent.h"

namespace {

constexpr QRgb kNormal = 0xFFC83214; // qRgb(200, 50, 20)
constexpr QRgb kActive = 0xFF14C850; // qRgb(20, 200, 80)

// A channel image of the main window's size with key-coloured corners.
QImage channel(QRgb colour) {
    QImage image(458, 15, QImage::Format_RGB32);
    image.fill(colour);
    for (QPoint corner : {QPoint(0, 0), QPoint(457, 0), QPoint(0, 14), QPoint(457, 14)})
        image.setPixel(corner, SKIN_KEY_COLOR);
    return image;
}

class SliderTest : public ::testing::Test {
protected:
    SliderTest() : parent(QSize(540, 60)), slider(&parent, 1015) {
        slider.move(41, 20);
        EXPECT_TRUE(slider.SetChannelImages(channel(kNormal), channel(kActive), true));
        slider.DrawFocusRect(false);
        slider.SetRange(0, 10000);
        slider.SetPos(0);
    }
    QImage sliderArea() { return parent.renderAll().copy(slider.geometry()); }
    QRgb bg(int x, int y) const { return TestParent::patternAt(41 + x, 20 + y); }
    void mouse(QEvent::Type type, int x) {
        QMouseEvent event(type, QPointF(x, 7), slider.mapToGlobal(QPointF(x, 7)), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(&slider, &event);
    }
    void key(int k) {
        QKeyEvent event(QEvent::KeyPress, k, Qt::NoModifier);
        QCoreApplication::sendEvent(&slider, &event);
    }
    int lastValue() {
        QCoreApplication::sendPostedEvents(&parent);
        return parent.received.empty() ? -1 : parent.received.back().value;
    }

    TestParent parent;
    CBitmapSlider slider;
};

TEST_F(SliderTest, TakesTheSizeOfItsImages) {
    EXPECT_EQ(slider.size(), QSize(458, 15));
    EXPECT_TRUE(slider.hasChannel());
}

TEST_F(SliderTest, MinimumShowsOnlyTheNormalImageAndMaximumOnlyTheActiveOne) {
    const QImage atMin = sliderArea();
    slider.SetPos(10000);
    const QImage atMax = sliderArea();
    for (int x = 1; x < 457; ++x) {
        EXPECT_EQ(atMin.pixel(x, 7), kNormal) << x;
        EXPECT_EQ(atMax.pixel(x, 7), kActive) << x;
    }
    // The key-coloured corners let the parent show through in both.
    EXPECT_EQ(atMin.pixel(0, 0), bg(0, 0));
    EXPECT_EQ(atMax.pixel(457, 14), bg(457, 14));
    EXPECT_EQ(atMin.pixel(1, 0), kNormal);
    writeLook(atMin, "slider_min.png");
    writeLook(atMax, "slider_max.png");
}

TEST_F(SliderTest, MiddlePositionSplitsAtItsPixel) {
    slider.SetPos(5000);
    const QImage half = sliderArea();
    EXPECT_EQ(half.pixel(228, 7), kActive);
    EXPECT_EQ(half.pixel(229, 7), kNormal);
}

TEST_F(SliderTest, HiDpiChannelsKeepTheLogicalLayoutAndEveryDevicePixel) {
    // Channels painted at twice the size, each device column with a colour of its own.
    auto channel2x = [](int green) {
        QImage image(916, 30, QImage::Format_RGB32);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 916; ++x)
                image.setPixel(x, y, qRgb(x / 4, green, x % 4 * 60));
        image.setPixel(0, 0, SKIN_KEY_COLOR);
        image.setDevicePixelRatio(2);
        return image;
    };
    for (bool transparent : {true, false}) {
        ASSERT_TRUE(slider.SetChannelImages(channel2x(10), channel2x(250), transparent));
        EXPECT_EQ(slider.size(), QSize(458, 15));
        slider.SetPos(5000);
        QImage area(parent.size() * 2, QImage::Format_ARGB32_Premultiplied);
        area.setDevicePixelRatio(2);
        area.fill(Qt::transparent);
        parent.render(&area);
        const QPoint origin(2 * 41, 2 * 20);
        for (int x : {1, 457, 458, 459, 915}) {
            const int green = x < 2 * 229 ? 250 : 10;
            EXPECT_EQ(area.pixel(origin + QPoint(x, 15)), qRgb(x / 4, green, x % 4 * 60)) << x;
        }
        if (transparent) {
            EXPECT_EQ(area.pixel(origin), bg(0, 0));
        }
    }
}

TEST_F(SliderTest, OpaqueChannelCoversTheBackground) {
    ASSERT_TRUE(slider.SetChannelImages(channel(kNormal), channel(kActive), false));
    const QImage area = sliderArea();
    EXPECT_NE(area.pixel(0, 0), bg(0, 0));
    EXPECT_EQ(area.pixel(5, 5), kNormal);
}

TEST_F(SliderTest, MappingsTruncate) {
    EXPECT_EQ(slider.positionToPixel(5000), 229);
    EXPECT_EQ(slider.pixelToPosition(100), 2183);
    EXPECT_EQ(slider.positionToPixel(2183), 99); // not the inverse: truncation both ways
    EXPECT_EQ(slider.positionToPixel(0), 0);
    EXPECT_EQ(slider.positionToPixel(10000), 458);
    EXPECT_EQ(slider.pixelToPosition(458), 10000);
    slider.SetRange(-50, 50);
    EXPECT_EQ(slider.positionToPixel(0), 229);
    EXPECT_EQ(slider.pixelToPosition(0), -50);
}

TEST_F(SliderTest, EmptyRangeMapsToTheStartInsteadOfDividingByZero) {
    slider.SetRange(7, 7);
    EXPECT_EQ(slider.positionToPixel(7), 0);
    EXPECT_EQ(slider.pixelToPosition(300), 7);
    slider.SetPos(9);
    EXPECT_EQ(slider.GetPos(), 7);
    sliderArea(); // paints without trouble
}

TEST_F(SliderTest, SetPosClampsBothWays) {
    slider.SetPos(10001);
    EXPECT_EQ(slider.GetPos(), 10000);
    slider.SetPos(-1);
    EXPECT_EQ(slider.GetPos(), 0);
    slider.SetPos(4321);
    EXPECT_EQ(slider.GetPos(), 4321);
}

TEST_F(SliderTest, KeysMoveThePositionAndAlwaysPostMoved) {
    struct Step {
        int key;
        int expected;
    };
    slider.SetPageSize(20);
    slider.SetPos(100);
    const Step steps[] = {{Qt::Key_Right, 101}, {Qt::Key_Down, 102}, {Qt::Key_Left, 101},
                          {Qt::Key_Up, 100},    {Qt::Key_PageDown, 120}, {Qt::Key_PageUp, 100},
                          {Qt::Key_End, 10000}, {Qt::Key_End, 10000},    {Qt::Key_Right, 10000},
                          {Qt::Key_Home, 0},    {Qt::Key_PageUp, 0}};
    int posted = 0;
    for (const Step& s : steps) {
        key(s.key);
        ++posted;
        EXPECT_EQ(slider.GetPos(), s.expected) << s.key;
        EXPECT_EQ(parent.count(WM_SLIDER_MOVED), posted) << s.key;
        EXPECT_EQ(lastValue(), s.expected);
        EXPECT_EQ(parent.received.back().controlId, 1015);
    }
    key(Qt::Key_A); // other keys change nothing and post nothing
    EXPECT_EQ(parent.count(WM_SLIDER_MOVED), posted);

    // At the ends of a full int range a step stays at the end instead of wrapping round.
    slider.SetRange(INT_MIN, INT_MAX);
    slider.SetPageSize(INT_MAX);
    const Step atTheEnds[] = {{Qt::Key_End, INT_MAX},   {Qt::Key_PageDown, INT_MAX},
                              {Qt::Key_Right, INT_MAX}, {Qt::Key_Home, INT_MIN},
                              {Qt::Key_PageUp, INT_MIN}, {Qt::Key_Left, INT_MIN}};
    for (const Step& s : atTheEnds) {
        key(s.key);
        EXPECT_EQ(slider.GetPos(), s.expected) << s.key;
    }
}

TEST_F(SliderTest, DraggingFollowsTheMouseAndPostsMoving) {
    mouse(QEvent::MouseButtonPress, 100);
    EXPECT_TRUE(slider.isDragging());
    EXPECT_EQ(slider.GetPos(), 2183);
    EXPECT_EQ(parent.count(WM_SLIDER_MOVING), 1);
    EXPECT_EQ(lastValue(), 2183);

    mouse(QEvent::MouseMove, 99); // the current position's pixel: nothing happens
    EXPECT_EQ(parent.count(WM_SLIDER_MOVING), 1);
    mouse(QEvent::MouseMove, 100); // 2183 sits on pixel 99, so x = 100 counts as a move again
    EXPECT_EQ(parent.count(WM_SLIDER_MOVING), 2);
    EXPECT_EQ(slider.GetPos(), 2183);

    mouse(QEvent::MouseMove, -40);
    EXPECT_EQ(slider.GetPos(), 0);
    mouse(QEvent::MouseMove, 900);
    EXPECT_EQ(slider.GetPos(), 10000);
    EXPECT_EQ(parent.count(WM_SLIDER_MOVED), 0);

    mouse(QEvent::MouseButtonRelease, 900);
    EXPECT_FALSE(slider.isDragging());
    EXPECT_EQ(parent.count(WM_SLIDER_MOVED), 1);
    EXPECT_EQ(lastValue(), 10000);
    const int moving = parent.count(WM_SLIDER_MOVING);
    mouse(QEvent::MouseMove, 10); // not dragging any more
    EXPECT_EQ(parent.count(WM_SLIDER_MOVING), moving);
    EXPECT_EQ(slider.GetPos(), 10000);
}

TEST_F(SliderTest, FocusRectangleOnlyWithTheOption) {
    parent.show();
    slider.setFocus();
    QCoreApplication::processEvents();
    ASSERT_TRUE(slider.hasFocus());
    const QImage without = sliderArea();
    slider.DrawFocusRect(true, true);
    const QImage with = sliderArea();
    EXPECT_NE(with, without);
    slider.DrawFocusRect(false, true);
    EXPECT_EQ(sliderArea(), without);
}

TEST(SliderImages, MainWindowChannelsLoadAndPaint) {
    TestParent parent(QSize(540, 40));
    CBitmapSlider slider(&parent, 1015);
    slider.move(41, 10);
    ASSERT_TRUE(slider.SetChannelImages(IDB_SLIDER_NORMAL, IDB_SLIDER_ACTIVE, true));
    EXPECT_EQ(slider.size(), QSize(458, 15));
    slider.DrawFocusRect(false);
    slider.SetRange(0, 10000);
    slider.SetPos(6180);
    const QImage area = parent.renderAll().copy(slider.geometry());
    writeLook(area, "slider_skin_6180.png");
    // The rounded ends are keyed: the parent shows there.
    EXPECT_EQ(area.pixel(0, 0), TestParent::patternAt(41, 10));
    EXPECT_NE(area.pixel(100, 7), area.pixel(400, 7));
}

TEST(SliderImages, MissingImageLeavesNoChannel) {
    TestParent parent;
    CBitmapSlider slider(&parent, 1015);
    slider.resize(30, 10);
    ASSERT_TRUE(slider.SetChannelImages(IDB_SLIDER_NORMAL, IDB_SLIDER_ACTIVE, true));
    EXPECT_FALSE(slider.SetChannelImages(IDB_SLIDER_NORMAL, 10102, true));
    EXPECT_FALSE(slider.hasChannel());
    EXPECT_FALSE(slider.SetChannelImages(10102, IDB_SLIDER_ACTIVE, true));
    EXPECT_FALSE(slider.hasChannel());
    // No channel: the paint draws nothing over the parent.
    const QImage area = parent.renderAll().copy(slider.geometry());
    EXPECT_EQ(area.pixel(3, 3), TestParent::patternAt(slider.x() + 3, slider.y() + 3));
}

} // namespace

namespace {

TEST(SliderNotifications, ArriveWithTheIdEvenWhenTheSliderIsGone) {
    TestParent parent;
    auto* slider = new CBitmapSlider(&parent, 1015);
    slider->SetRange(0, 10);
    slider->SetPos(3);
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    QCoreApplication::sendEvent(slider, &end);
    delete slider; // before the posted notification is delivered
    EXPECT_EQ(parent.count(WM_SLIDER_MOVED), 1);
    EXPECT_EQ(parent.received.back().source, nullptr);
    EXPECT_EQ(parent.received.back().controlId, 1015);
    EXPECT_EQ(parent.received.back().value, 10);
}

} // namespace
