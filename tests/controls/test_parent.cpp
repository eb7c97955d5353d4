// TestParent: the window stand-in the control tests paint into.
#include "test_parent.h"

#include <QCoreApplication>
#include <QDir>
#include <QPainter>

#include "gdip_button.h"
#include "mem_dc.h"
#include "wx_static.h"

TestParent::TestParent(QSize size) {
    resize(size);
}

QRgb TestParent::patternAt(int x, int y) {
    return qRgb((x * 7 + y * 3) & 0xFF, (x * 3 + y * 11) & 0xFF, 0x40 + ((x + y) & 0x3F));
}

QImage TestParent::renderAll() {
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    render(&image);
    return image;
}

int TestParent::count(int type) {
    QCoreApplication::sendPostedEvents(this);
    int n = 0;
    for (const Received& r : received)
        n += r.type == type;
    return n;
}

void TestParent::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    CMemDC dc(&painter, rect(), false);
    QImage pattern(size(), QImage::Format_RGB32);
    for (int y = 0; y < height(); ++y)
        for (int x = 0; x < width(); ++x)
            pattern.setPixel(x, y, patternAt(x, y));
    dc->drawImage(0, 0, pattern);
    if (!handOverBackground)
        return;
    for (auto* button : findChildren<CGdipButton*>())
        button->CaptureBackground(&dc.painter());
    for (auto* label : findChildren<CwxStatic*>())
        label->CaptureBackground(&dc.painter(), false);
}

bool TestParent::event(QEvent* event) {
    const int type = event->type();
    const bool ours = type == WM_COMBO_CLICK || type == WM_LABEL_HOVER || type == WM_LABEL_LEAVE ||
                      type == WM_LABEL_RBUTTONDOWN || type == WM_SLIDER_MOVING ||
                      type == WM_SLIDER_MOVED;
    if (!ours)
        return QWidget::event(event);
    auto* e = static_cast<ControlEvent*>(event);
    received.push_back({type, e->source(), e->controlId(), e->value()});
    if (type == WM_COMBO_CLICK) {
        if (comboAnswer == ComboAnswer::Refuse)
            e->setResult(0);
        else if (comboAnswer == ComboAnswer::Agree)
            e->setResult(1);
    }
    return true;
}

void writeLook(const QImage& image, const QString& name) {
    QDir().mkpath(NEMARRO_LOOKS_DIR);
    image.save(QDir(NEMARRO_LOOKS_DIR).filePath(name));
}
