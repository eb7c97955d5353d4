// CReadOnlyComboBox: a drop-down list that opens on a click only with its parent's consent.
#include "read_only_combo_box.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include "control_events.h"

CReadOnlyComboBox::CReadOnlyComboBox(QWidget* parent, int id) : QComboBox(parent) {
    setControlId(this, id);
}

CReadOnlyComboBox::~CReadOnlyComboBox() = default;

bool CReadOnlyComboBox::askParent() {
    QWidget* parent = parentWidget();
    if (!parent)
        return false;
    ControlEvent request(WM_COMBO_CLICK, this, controlId(this));
    QCoreApplication::sendEvent(parent, &request);
    // A parent that does not answer leaves the event ignored: that means no.
    return request.isAccepted() && request.result() != 0;
}

void CReadOnlyComboBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QComboBox::mousePressEvent(event);
        return;
    }
    if (askParent())
        QComboBox::mousePressEvent(event);
    else
        event->accept(); // swallowed
}

void CReadOnlyComboBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QComboBox::mouseDoubleClickEvent(event);
        return;
    }
    // Asked about once, like a single click (the base would route it through mousePressEvent
    // and ask a second time).
    if (askParent())
        QComboBox::mousePressEvent(event);
    else
        event->accept();
}
