// CwxStatic: the skinned text label.
#include "wx_static.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

#include "control_events.h"
#include "mem_dc.h"
#include "string_table.h"
#include "tool_tip.h"

namespace {
constexpr int kTooltipDelay = 400; // labels answer faster than buttons
}

CwxStatic::CwxStatic(QWidget* parent, int id) : QLabel(parent) {
    setControlId(this, id);
    m_hoverTimer.setSingleShot(true);
    connect(&m_hoverTimer, &QTimer::timeout, this, &CwxStatic::onHover);
    SetNotify(false);
}

CwxStatic::~CwxStatic() = default;

void CwxStatic::CaptureBackground(QPainter* source, bool fill) {
    if (!m_background.isNull())
        return;
    if (fill) {
        // A solid rectangle of the parent's own window colour, whatever lies behind the label.
        const QWidget* parent = parentWidget();
        const QColor colour = parent ? parent->palette().color(parent->backgroundRole())
                                     : palette().color(QPalette::Window);
        const qreal ratio = devicePixelRatioF();
        m_background = QImage((QSizeF(size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        m_background.setDevicePixelRatio(ratio);
        m_background.fill(colour);
    } else if (source) {
        CaptureParentBackground(*this, *source, m_background);
    }
    tooltipFromControlId();
}

void CwxStatic::SetTooltipText(const QString& text, bool activate) {
    if (CToolTipCtrl::setOwnerTip(m_tooltip, this, text, kTooltipDelay, activate))
        m_tooltipText = text;
}

void CwxStatic::SetTooltipFromResource(int id) {
    const QString text = loadString(id);
    if (!text.isEmpty())
        SetTooltipText(text, true);
}

void CwxStatic::SetLinkCursor(bool linkCursor) {
    m_linkCursor = linkCursor;
    if (linkCursor)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void CwxStatic::SetNotify(bool notify) {
    m_notify = notify;
    // Without notify a label is passed over by the mouse, like a plain static text: a press on
    // it reaches the window behind (which may be dragged by it).
    setAttribute(Qt::WA_TransparentForMouseEvents, !notify);
    setMouseTracking(notify);
}

QString CwxStatic::drawnText() const {
    QString shown = text().left(kMaxTextLength);
    // Never keep half of a character that needs two UTF-16 units: it would draw as garbage.
    if (shown.size() == kMaxTextLength && text().size() > kMaxTextLength &&
        shown.back().isHighSurrogate())
        shown.chop(1);
    return shown;
}

void CwxStatic::tooltipFromControlId() {
    const QString text = loadString(controlId(this));
    if (!text.isEmpty())
        SetTooltipText(text, true);
}

void CwxStatic::paintEvent(QPaintEvent*) {
    QPainter target(this);
    if (m_background.isNull()) {
        // Nobody handed a background over: on this first paint the backing store still holds
        // what lies behind the label.
        m_background = grabPainterArea(target, rect());
        tooltipFromControlId();
    }
    CMemDC dc(&target, rect(), false);
    QPainter& p = dc.painter();
    if (!m_background.isNull()) {
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(0, 0), m_background);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    p.setPen(m_textColor);
    if (m_underline) {
        // Made once, from the font in use at the first underlined paint.
        if (!m_font) {
            QFont font = p.font();
            font.setUnderline(true);
            m_font = font;
        }
        p.setFont(*m_font);
    }
    p.drawText(rect(), static_cast<int>(m_format) | Qt::TextSingleLine, drawnText());
}

void CwxStatic::enterEvent(QEnterEvent* event) {
    if (!m_tracking) {
        m_tracking = true;
        m_hoverTimer.start(kHoverTime);
    }
    QLabel::enterEvent(event);
}

void CwxStatic::mouseMoveEvent(QMouseEvent* event) {
    if (!m_tracking) {
        m_tracking = true;
        m_hoverTimer.start(kHoverTime);
    } else if (m_hoverTimer.isActive()) {
        m_hoverTimer.start(kHoverTime); // the pointer must rest, not pass
    }
    QLabel::mouseMoveEvent(event);
}

void CwxStatic::leaveEvent(QEvent* event) {
    m_hoverTimer.stop();
    if (m_tracking) {
        sendToParent(WM_LABEL_LEAVE);
        m_tracking = false;
    }
    QLabel::leaveEvent(event);
}

void CwxStatic::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton)
        sendToParent(WM_LABEL_RBUTTONDOWN);
    else if (event->button() == Qt::LeftButton)
        m_pressed = true;
    QLabel::mousePressEvent(event);
}

void CwxStatic::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = event->button() == Qt::LeftButton && m_pressed &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

void CwxStatic::onHover() {
    sendToParent(WM_LABEL_HOVER);
    delete m_tooltip;
    m_tooltip = nullptr;
    SetTooltipText(QString(m_tooltipText), true);
    if (m_tooltip)
        m_tooltip->update();
}

void CwxStatic::sendToParent(int type) {
    QWidget* parent = parentWidget();
    if (!parent)
        return;
    ControlEvent event(static_cast<ControlEventType>(type), this, controlId(this), 0);
    QCoreApplication::sendEvent(parent, &event);
}
