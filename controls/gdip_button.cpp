// CGdipButton: the image button of the skin, and LoadButtonImages.
#include "gdip_button.h"

#include <QPainter>
#include <QPaintEvent>

#include <algorithm>

#include "control_events.h"
#include "gdiplus_bitmap.h"
#include "mem_dc.h"
#include "string_table.h"
#include "tool_tip.h"

namespace {

constexpr int kTooltipDelay = 1000;

// One look: the background with the image blended over it at `offset`.
QImage composeLook(const QImage& background, const QImage& image, const QPoint& offset) {
    QImage look = background.copy();
    QPainter painter(&look);
    painter.drawImage(offset, image);
    return look;
}

} // namespace

CGdipButton::CGdipButton(QWidget* parent, int id) : QPushButton(parent) {
    setControlId(this, id);
    // The window has no default button: Enter presses nothing.
    setAutoDefault(false);
    setDefault(false);
}

CGdipButton::~CGdipButton() = default;

void CGdipButton::SetImage(CGdiPlusBitmapResource* image) {
    m_image.reset(image);
}

void CGdipButton::SetTooltipText(const QString& text, bool activate) {
    if (CToolTipCtrl::setOwnerTip(m_tooltip, this, text, kTooltipDelay, activate))
        m_tooltipText = text;
}

void CGdipButton::CaptureBackground(QPainter* source) {
    if (source)
        CaptureParentBackground(*this, *source, m_background);
}

QImage CGdipButton::applyHoverMatrix(const QImage& image) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    // Row-vector colour matrix: each colour c -> 1.05 c + 0.05 (on 0..1), alpha untouched.
    auto brighten = [](int c) {
        const double v = 1.05 * (c / 255.0) + 0.05;
        return static_cast<int>(std::min(1.0, v) * 255.0 + 0.5);
    };
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgba(brighten(qRed(p)), brighten(qGreen(p)), brighten(qBlue(p)), qAlpha(p));
        }
    }
    return result;
}

void CGdipButton::buildLooks(QPainter& own) {
    if (m_imagesReady || !m_image || m_image->isEmpty())
        return;
    if (m_background.isNull()) {
        // The parent never handed its background over: on this first paint the window's
        // backing store still holds the parent's pixels under the button.
        m_background = grabPainterArea(own, rect());
        if (m_background.isNull()) {
            QImage fallback(size(), QImage::Format_ARGB32_Premultiplied);
            fallback.fill(parentWidget() ? parentWidget()->palette().color(QPalette::Window)
                                         : palette().color(QPalette::Window));
            m_background = fallback;
        }
    }
    const QImage& image = m_image->bitmap();
    if (m_normal.isNull())
        m_normal = composeLook(m_background, image, QPoint(0, 0));
    if (m_pressed.isNull())
        m_pressed = composeLook(m_background, image, QPoint(1, 1));
    if (m_hover.isNull())
        m_hover = composeLook(m_background, applyHoverMatrix(image), QPoint(0, 0));
    if (!m_current)
        m_current = &m_normal;
    m_imagesReady = true;
}

void CGdipButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    buildLooks(painter);
    if (!m_imagesReady)
        return; // no image: the button draws nothing of its own
    // Focus, default and disabled states have no look of their own.
    if (isDown())
        m_current = &m_pressed;
    else if (m_hovering)
        m_current = &m_hover;
    else
        m_current = &m_normal;
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), *m_current);
}

void CGdipButton::enterEvent(QEnterEvent* event) {
    m_hovering = true;
    update();
    // A fresh tooltip for each visit, so the tip starts its wait anew.
    delete m_tooltip;
    m_tooltip = nullptr;
    SetTooltipText(QString(m_tooltipText), true);
    if (m_tooltip)
        m_tooltip->update();
    QPushButton::enterEvent(event);
}

void CGdipButton::leaveEvent(QEvent* event) {
    m_hovering = false;
    update();
    QPushButton::leaveEvent(event);
}

void CGdipButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a quick double click presses the button again: two clicks.
    mousePressEvent(event);
}

void LoadButtonImages(const ButtonImageEntry* table) {
    for (const ButtonImageEntry* row = table; row && row->button; ++row) {
        auto* image = new CGdiPlusBitmapResource;
        row->button->SetImage(image);
        image->Load(static_cast<int>(row->imageId));
        const QString tip = loadString(controlId(row->button));
        if (!tip.isEmpty())
            row->button->SetTooltipText(tip, true);
    }
}
