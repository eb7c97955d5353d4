// CMemDC and the drawing operations the skinned controls share.
#include "mem_dc.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPaintEngine>
#include <QPixmap>
#include <QWidget>

#include "string_table.h"

namespace {

bool isPixelSurface(const QPaintDevice* device) {
    if (!device)
        return false;
    const int type = device->devType();
    return type == QInternal::Widget || type == QInternal::Image || type == QInternal::Pixmap;
}

QRect clipBox(QPainter& painter) {
    const QRect window = painter.window();
    if (painter.hasClipping())
        return painter.clipBoundingRect().toAlignedRect() & window;
    return window;
}

QImage blankSurface(const QSize& logicalSize, qreal ratio) {
    QImage image((QSizeF(logicalSize) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

CMemDC::CMemDC(QPainter* target, QRect area, bool copyFirst)
    : m_target(target), m_offScreen(isPixelSurface(target->device())) {
    // An all-zero rectangle is QRect() in Qt: both stand for "the whole clip box".
    m_area = (area == QRect()) ? clipBox(*target) : area;
    if (!m_offScreen || m_area.isEmpty()) {
        // Printers and other recording devices get the drawing directly; an empty area has
        // nothing to copy either.
        m_offScreen = false;
        return;
    }
    // The ratio of what is really painted on (a window's backing store, or the image a widget
    // is rendered into), so that the surface keeps every device pixel.
    QPaintEngine* engine = target->paintEngine();
    const QPaintDevice* real = engine && engine->paintDevice() ? engine->paintDevice()
                                                               : target->device();
    const qreal ratio = real->devicePixelRatioF();
    if (copyFirst) {
        m_surface = grabPainterArea(*target, m_area);
        if (m_surface.isNull())
            m_surface = blankSurface(m_area.size(), ratio);
        else
            m_surface = m_surface.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    } else {
        m_surface = blankSurface(m_area.size(), ratio);
    }
    m_painter.begin(&m_surface);
    // Same coordinates as on the target.
    m_painter.translate(-m_area.topLeft());
    m_painter.setFont(target->font());
    m_painter.setRenderHints(target->renderHints());
}

CMemDC::~CMemDC() {
    if (!m_offScreen)
        return;
    m_painter.end();
    m_target->save();
    m_target->setCompositionMode(QPainter::CompositionMode_Source);
    m_target->drawImage(m_area.topLeft(), m_surface);
    m_target->restore();
}

QImage grabPainterArea(QPainter& painter, const QRect& logicalRect) {
    QPaintEngine* engine = painter.paintEngine();
    QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    if (!device || logicalRect.isEmpty())
        return QImage();
    // Widgets paint into their window's backing store; the device transform maps the widget's
    // coordinates (and the device pixel ratio) onto it.
    const QRect deviceRect = painter.deviceTransform().mapRect(QRectF(logicalRect)).toAlignedRect();
    QImage copy;
    if (device->devType() == QInternal::Image)
        copy = static_cast<QImage*>(device)->copy(deviceRect);
    else if (device->devType() == QInternal::Pixmap)
        copy = static_cast<QPixmap*>(device)->copy(deviceRect).toImage();
    else
        return QImage();
    copy.setDevicePixelRatio(qreal(deviceRect.width()) / logicalRect.width());
    return copy.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void CaptureParentBackground(const QWidget& control, QPainter& source, QImage& background) {
    if (!background.isNull())
        return;
    const QRect underControl = control.geometry();
    background = grabPainterArea(source, underControl);
    if (background.isNull()) {
        // Nothing to read back (e.g. a recording device): the parent's plain colour is the best
        // stand-in for its pixels.
        const QWidget* parent = control.parentWidget();
        background = blankSurface(underControl.size(), control.devicePixelRatioF());
        background.fill(parent ? parent->palette().color(parent->backgroundRole())
                               : control.palette().color(QPalette::Window));
    }
}

void MakeKeyColorMask(QImage& mask, QImage& source) {
    if (source.format() != QImage::Format_RGB32)
        source = source.convertToFormat(QImage::Format_RGB32);
    mask = QImage(source.size(), QImage::Format_Mono);
    mask.setDevicePixelRatio(source.devicePixelRatio());
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mask.fill(0);
    const QRgb key = SKIN_KEY_COLOR & 0x00FFFFFF;
    for (int y = 0; y < source.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(source.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            if ((line[x] & 0x00FFFFFF) == key) {
                mask.setPixel(x, y, 1);
                line[x] = qRgb(0, 0, 0);
            }
        }
    }
}

void DrawMasked(QPainter& destination, int x, int y, int width, int height, const QImage& source,
                int sourceX, int sourceY, const QImage& mask) {
    if (width <= 0 || height <= 0)
        return;
    const QRect target(x, y, width, height);
    // The source rectangle is in the image's own pixels: a HiDPI image has more of them.
    const qreal ratio = source.devicePixelRatio();
    const QRectF from(sourceX * ratio, sourceY * ratio, width * ratio, height * ratio);
    destination.save();
    // Black where the image is opaque, the destination kept where the mask is white...
    destination.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    destination.drawImage(target, mask, from);
    // ...then the image's colours ORed in; its key pixels are black and change nothing.
    destination.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    destination.drawImage(target, source, from);
    destination.restore();
}

void SetWindowTextFromResource(int id, QWidget* window) {
    if (!window)
        return;
    const QString text = loadString(id);
    if (auto* label = qobject_cast<QLabel*>(window))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(window))
        button->setText(text);
    else
        window->setWindowTitle(text);
}
