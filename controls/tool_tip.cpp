// CToolTipCtrl: a per-control tooltip with its own delay, shown through QToolTip.
#include "tool_tip.h"

#include <QEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QWidget>

CToolTipCtrl::CToolTipCtrl(QWidget* owner) : QObject(owner), m_owner(owner) {
    m_wait.setSingleShot(true);
    m_autoPop.setSingleShot(true);
    connect(&m_wait, &QTimer::timeout, this, &CToolTipCtrl::show);
    connect(&m_autoPop, &QTimer::timeout, this, &CToolTipCtrl::hide);
    owner->installEventFilter(this);
}

CToolTipCtrl::~CToolTipCtrl() {
    hide();
}

void CToolTipCtrl::activate(bool active) {
    m_active = active;
    if (!active) {
        m_wait.stop();
        hide();
    }
}

void CToolTipCtrl::update() {
    if (!m_active || m_text.isEmpty() || !m_owner->underMouse())
        return;
    if (m_showing)
        show();
    else
        m_wait.start(m_delay);
}

bool CToolTipCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_owner)
        return false;
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::MouseMove:
        if (event->type() == QEvent::MouseMove)
            m_lastPos = static_cast<QMouseEvent*>(event)->position().toPoint();
        // The tip waits for the pointer to rest.
        if (m_active && !m_text.isEmpty() && !m_showing)
            m_wait.start(m_delay);
        break;
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::Hide:
        m_wait.stop();
        hide();
        break;
    default:
        break;
    }
    return false; // only watching: the owner handles every event as usual
}

void CToolTipCtrl::show() {
    if (!m_active || m_text.isEmpty() || !m_owner->isVisible())
        return;
    const QPoint below = m_owner->mapToGlobal(m_lastPos + QPoint(0, 20));
    QToolTip::showText(below, m_text, m_owner, QRect(), 10 * m_delay);
    m_showing = true;
    m_autoPop.start(10 * m_delay);
}

void CToolTipCtrl::hide() {
    m_autoPop.stop();
    if (m_showing) {
        QToolTip::hideText();
        m_showing = false;
    }
}

bool CToolTipCtrl::setOwnerTip(CToolTipCtrl*& tip, QWidget* owner, const QString& text,
                               int delayMs, bool activate) {
    if (text.isEmpty())
        return false;
    if (!tip) {
        tip = new CToolTipCtrl(owner);
        tip->activate(true);
    }
    tip->setText(text);
    tip->setDelayTime(delayMs);
    tip->activate(activate);
    return true;
}
