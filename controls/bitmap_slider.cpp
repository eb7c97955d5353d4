// CBitmapSlider: the progress slider drawn from two channel images.
#include "bitmap_slider.h"

#include <QCoreApplication>
#include <QtGlobal>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <climits>

#include "control_events.h"
#include "mem_dc.h"
#include "skin_resources.h"

CBitmapSlider::CBitmapSlider(QWidget* parent, int id) : QWidget(parent) {
    setControlId(this, id);
    setFocusPolicy(Qt::ClickFocus);
}

CBitmapSlider::~CBitmapSlider() = default;

bool CBitmapSlider::SetChannelImages(int normalId, int activeId, bool transparent) {
    const QImage normal = loadSkinBitmap(normalId);
    const QImage active = normal.isNull() ? QImage() : loadSkinBitmap(activeId);
    if (active.isNull()) {
        // Either image missing: no channel at all, nothing half set.
        freeImages();
        return false;
    }
    return SetChannelImages(normal, active, transparent);
}

bool CBitmapSlider::SetChannelImages(const QImage& normal, const QImage& active, bool transparent) {
    freeImages();
    if (normal.isNull())
        return false;
    m_channel = normal;
    MakeKeyColorMask(m_channelMask, m_channel);
    if (!active.isNull()) {
        m_active = active;
        MakeKeyColorMask(m_activeMask, m_active);
        m_activePresent = true;
    }
    // Logical pixels: a HiDPI channel has twice as many device pixels.
    m_channelWidth = qRound(m_channel.deviceIndependentSize().width());
    m_channelHeight = qRound(m_channel.deviceIndependentSize().height());
    resize(m_channelWidth, m_channelHeight);
    m_paintArea = rect();
    m_transparent = transparent;
    m_channelPresent = true;
    update();
    return true;
}

void CBitmapSlider::freeImages() {
    m_channel = QImage();
    m_channelMask = QImage();
    m_active = QImage();
    m_activeMask = QImage();
    m_activePresent = false;
    m_channelPresent = false;
}

void CBitmapSlider::SetRange(int minimum, int maximum) {
    m_min = minimum;
    m_max = maximum;
}

void CBitmapSlider::SetPos(int position) {
    m_pos = position;
    if (m_pos > m_max)
        m_pos = m_max;
    if (m_pos < m_min)
        m_pos = m_min;
    update();
}

void CBitmapSlider::DrawFocusRect(bool draw, bool redraw) {
    m_drawFocusRect = draw;
    if (redraw)
        update();
}

int CBitmapSlider::positionToPixel(int position) const {
    if (m_max == m_min)
        return 0; // an empty range has nothing to spread over the channel
    const double fraction = (double(position) - m_min) / (double(m_max) - m_min);
    return static_cast<int>(fraction * m_channelWidth);
}

int CBitmapSlider::pixelToPosition(int pixel) const {
    if (m_channelWidth == 0)
        return m_min;
    return static_cast<int>(double(pixel) / m_channelWidth * (double(m_max) - m_min) + m_min);
}

void CBitmapSlider::paintEvent(QPaintEvent*) {
    QPainter target(this);
    // With a transparent channel the masks let the parent's pixels, already in the window's
    // backing store, show through: the surface starts as a copy of them. Without a channel
    // nothing is drawn over them either.
    CMemDC dc(&target, m_paintArea, m_transparent || !m_channelPresent);
    QPainter& p = dc.painter();
    const int w = m_channelWidth;
    const int h = m_channelHeight;
    if (m_channelPresent) {
        auto blit = [&](int x, int width, const QImage& image, const QImage& mask) {
            if (width <= 0)
                return;
            if (m_transparent) {
                DrawMasked(p, x, 0, width, h, image, x, 0, mask);
            } else {
                p.save();
                p.setCompositionMode(QPainter::CompositionMode_Source);
                const qreal ratio = image.devicePixelRatio();
                p.drawImage(QRect(x, 0, width, h), image,
                            QRectF(x * ratio, 0, width * ratio, h * ratio));
                p.restore();
            }
        };
        if (!m_activePresent) {
            blit(0, w, m_channel, m_channelMask);
        } else {
            // Done part (active image) left of the position, the rest right of it.
            const int pixel = std::clamp(positionToPixel(m_pos), 0, w);
            blit(pixel, w - pixel, m_channel, m_channelMask);
            blit(0, pixel, m_active, m_activeMask);
        }
    }
    if (m_drawFocusRect && m_hasFocus) {
        // A dotted frame, as keyboard focus has always been marked on skinned controls; the
        // style's own focus frame may draw nothing for a focus that came by mouse.
        const QRect frame = (m_paintArea.isEmpty() ? rect() : m_paintArea).adjusted(0, 0, -1, -1);
        p.save();
        p.setPen(QPen(QColor(255, 255, 255, 200), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(frame);
        p.restore();
    }
}

void CBitmapSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // Qt keeps delivering the mouse to this control until the button comes up.
    setFocus(Qt::MouseFocusReason);
    m_dragging = true;
    dragTo(event->position().toPoint().x());
    update();
}

void CBitmapSlider::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging)
        dragTo(event->position().toPoint().x());
    QWidget::mouseMoveEvent(event);
}

void CBitmapSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_dragging = false;
    update();
    post(WM_SLIDER_MOVED);
}

void CBitmapSlider::dragTo(int x) {
    x = std::clamp(x, 0, m_channelWidth);
    if (x == positionToPixel(m_pos))
        return;
    m_pos = pixelToPosition(x);
    if (m_pos > m_max)
        m_pos = m_max;
    if (m_pos < m_min)
        m_pos = m_min;
    update();
    post(WM_SLIDER_MOVING);
}

void CBitmapSlider::keyPressEvent(QKeyEvent* event) {
    // Computed wide, so that a step past either end of the int range cannot overflow.
    const qint64 pos = m_pos;
    qint64 value = 0;
    switch (event->key()) {
    case Qt::Key_PageUp: value = pos - m_pageSize; break;
    case Qt::Key_PageDown: value = pos + m_pageSize; break;
    case Qt::Key_End: value = m_max; break;
    case Qt::Key_Home: value = m_min; break;
    case Qt::Key_Left:
    case Qt::Key_Up: value = pos - 1; break;
    case Qt::Key_Right:
    case Qt::Key_Down: value = pos + 1; break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    SetPos(static_cast<int>(std::clamp<qint64>(value, INT_MIN, INT_MAX)));
    // Posted even when the position stayed (at an end of the range): the parent always hears.
    post(WM_SLIDER_MOVED);
}

void CBitmapSlider::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    m_hasFocus = true;
    update();
}

void CBitmapSlider::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    m_hasFocus = false;
    update();
}

void CBitmapSlider::post(int type) {
    if (QWidget* parent = parentWidget()) {
        QCoreApplication::postEvent(parent, new ControlEvent(static_cast<ControlEventType>(type),
                                                             this, controlId(this), m_pos));
    }
}
