// ControlEvent and the control-id property.
#include "control_events.h"

#include <QVariant>
#include <QWidget>

namespace {
constexpr const char* kControlIdProperty = "controlId";
}

ControlEvent::ControlEvent(ControlEventType type, QWidget* source, int controlId, int value)
    : QEvent(eventType(type)), m_source(source), m_controlId(controlId), m_value(value) {
    // Unanswered until a receiver sets a result.
    ignore();
}

void ControlEvent::setResult(long result) {
    m_result = result;
    accept();
}

int controlId(const QWidget* widget) {
    return widget ? widget->property(kControlIdProperty).toInt() : 0;
}

void setControlId(QWidget* widget, int id) {
    if (widget)
        widget->setProperty(kControlIdProperty, id);
}

QWidget* findControl(const QWidget* parent, int id) {
    if (!parent)
        return nullptr;
    const auto children = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (controlId(child) == id)
            return child;
    }
    return nullptr;
}
