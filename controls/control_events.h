// The private notifications the skinned controls send or post to their parent, as QEvent types,
// and the control id every control carries so that a parent can tell its controls apart.
#pragma once

#include <QEvent>
#include <QPointer>
#include <QWidget>

// Event type numbers; all lie in Qt's user range and are used by nothing else.
enum ControlEventType : int {
    WM_COMBO_CLICK = 1034,       // CReadOnlyComboBox asks whether a click may open its list
    WM_LABEL_HOVER = 1039,       // CwxStatic: the mouse rests on the label
    WM_LABEL_LEAVE = 1040,       // CwxStatic: the mouse left the label
    WM_LABEL_RBUTTONDOWN = 1041, // CwxStatic: right button pressed on the label
    WM_SLIDER_MOVING = 0x28D1,   // CBitmapSlider: position changed while dragging
    WM_SLIDER_MOVED = 0x28D2,    // CBitmapSlider: button released or a key handled
};

// One notification from a control to its parent. `source` and `controlId` both identify the
// control; `value` is the slider's position (0 for the others). Sent events carry the answer
// back in `result`: the event starts ignored with result 0, and a receiver that answers calls
// setResult, which also accepts it. A parent that does not handle the event thus answers 0.
class ControlEvent : public QEvent {
public:
    ControlEvent(ControlEventType type, QWidget* source, int controlId, int value = 0);

    QWidget* source() const { return m_source; }
    int controlId() const { return m_controlId; }
    int value() const { return m_value; }
    long result() const { return m_result; }
    void setResult(long result);

    static QEvent::Type eventType(ControlEventType type) { return static_cast<QEvent::Type>(type); }

private:
    QPointer<QWidget> m_source; // null once the control is gone (posted events arrive later)
    int m_controlId;
    int m_value;
    long m_result = 0;
};

// The id a control was given by its window (the "controlId" dynamic property); 0 when unset.
int controlId(const QWidget* widget);
void setControlId(QWidget* widget, int id);
// The direct child of `parent` that carries `id`, or nullptr.
QWidget* findControl(const QWidget* parent, int id);
