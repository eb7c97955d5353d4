// The real skin put together as the main window does: background, the twelve buttons from the
// skin table, the slider. Every button's transparent pixels must show the background exactly,
// and the whole window is written out for a look.
#include <QPainter>

#include <cstdint>
#include <string>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap_slider.h"
#include "gdip_button.h"
#include "gdiplus_bitmap.h"
#include "mem_dc.h"
#include "skin_resources.h"
#include "test_parent.h"

namespace {

class SkinWindow : public QWidget {
public:
    SkinWindow() : m_background(loadSkinBitmap(IDB_BACKGROUND)) { resize(m_background.size()); }
    QImage m_background;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        CMemDC dc(&painter, rect(), false);
        dc->drawImage(0, 0, m_background);
        for (auto* button : findChildren<CGdipButton*>())
            button->CaptureBackground(&dc.painter());
    }
};

struct Placement {
    int id;
    int image;
    QRect rect;
};

const Placement kButtons[] = {
    {1001, 10002, {565, 19, 16, 14}},   {1000, 10001, {543, 24, 13, 6}},
    {1002, 10003, {102, 37, 117, 44}},  {1003, 10004, {222, 37, 103, 44}},
    {1004, 10005, {328, 37, 95, 44}},   {1006, 10009, {402, 458, 59, 23}},
    {1007, 10010, {321, 458, 73, 23}},  {1009, 10007, {500, 411, 87, 87}},
    {1005, 10006, {410, 424, 73, 23}},  {1018, 10014, {516, 63, 33, 12}},
    {1019, 10015, {557, 63, 27, 14}},
};

TEST(SkinWindow, ButtonsBlendOverTheBackgroundAtTheirPlaces) {
    SkinWindow window;
    ASSERT_EQ(window.size(), QSize(600, 500));
    std::vector<std::unique_ptr<CGdipButton>> buttons;
    std::vector<ButtonImageEntry> table;
    for (const Placement& p : kButtons) {
        buttons.push_back(std::make_unique<CGdipButton>(&window, p.id));
        buttons.back()->setGeometry(p.rect);
        table.push_back({buttons.back().get(), std::uint32_t(p.image)});
    }
    table.push_back({nullptr, 0});
    LoadButtonImages(table.data());
    CBitmapSlider slider(&window, 1015);
    slider.move(41, 398);
    ASSERT_TRUE(slider.SetChannelImages(IDB_SLIDER_NORMAL, IDB_SLIDER_ACTIVE, true));
    slider.DrawFocusRect(false);
    slider.SetRange(0, 10000);
    slider.SetPos(6180);

    QImage shot(window.size(), QImage::Format_ARGB32_Premultiplied);
    window.render(&shot);
    writeLook(shot, "skin_window.png");

    const QImage bg = window.m_background.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (size_t i = 0; i < buttons.size(); ++i) {
        const CGdipButton& b = *buttons[i];
        ASSERT_TRUE(b.imagesReady()) << kButtons[i].id;
        const QImage& image = b.image()->bitmap();
        int checked = 0;
        for (int y = 0; y < b.height(); ++y)
            for (int x = 0; x < b.width(); ++x) {
                const bool uncovered = x >= image.width() || y >= image.height() ||
                                       qAlpha(image.pixel(x, y)) == 0;
                if (!uncovered)
                    continue;
                const QPoint at = b.geometry().topLeft() + QPoint(x, y);
                ASSERT_EQ(shot.pixel(at), bg.pixel(at)) << kButtons[i].id << " at " << x << "," << y;
                ++checked;
            }
        EXPECT_GT(checked, 0) << kButtons[i].id;
    }
}

} // namespace

namespace {

// At another device pixel ratio the skin is drawn scaled: the same picture, only finer.
TEST(SkinWindow, DrawsScaledAtDevicePixelRatioTwo) {
    auto build = [](SkinWindow& window, std::vector<std::unique_ptr<CGdipButton>>& buttons) {
        std::vector<ButtonImageEntry> table;
        for (const Placement& p : kButtons) {
            buttons.push_back(std::make_unique<CGdipButton>(&window, p.id));
            buttons.back()->setGeometry(p.rect);
            table.push_back({buttons.back().get(), std::uint32_t(p.image)});
        }
        table.push_back({nullptr, 0});
        LoadButtonImages(table.data());
    };
    SkinWindow plain;
    std::vector<std::unique_ptr<CGdipButton>> plainButtons;
    build(plain, plainButtons);
    QImage one(plain.size(), QImage::Format_ARGB32_Premultiplied);
    plain.render(&one);

    SkinWindow fine;
    std::vector<std::unique_ptr<CGdipButton>> fineButtons;
    build(fine, fineButtons);
    QImage two(fine.size() * 2, QImage::Format_ARGB32_Premultiplied);
    two.setDevicePixelRatio(2);
    two.fill(Qt::transparent);
    fine.render(&two);
    writeLook(two, "skin_window_dpr2.png");

    const QImage down = two.scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    double difference = 0;
    for (int y = 0; y < one.height(); ++y)
        for (int x = 0; x < one.width(); ++x) {
            const QRgb a = one.pixel(x, y);
            const QRgb b = down.pixel(x, y);
            difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                          std::abs(qBlue(a) - qBlue(b));
        }
    difference /= 3.0 * one.width() * one.height();
    RecordProperty("meanDifference", std::to_string(difference));
    EXPECT_LT(difference, 3.0); // mean difference per channel, out of 255
}

} // namespace
