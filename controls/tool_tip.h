// CToolTipCtrl: the tooltip a skinned control creates on demand. It watches its owner's mouse
// events and shows its text once the pointer has rested on the owner for the delay time.
#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <QTimer>

class QWidget;

class CToolTipCtrl : public QObject {
    Q_OBJECT
public:
    explicit CToolTipCtrl(QWidget* owner);
    ~CToolTipCtrl() override;

    // Gives `owner` the tip `text` (creating `tip` on first use; an empty text creates
    // nothing and changes nothing) and returns whether the text was taken.
    static bool setOwnerTip(CToolTipCtrl*& tip, QWidget* owner, const QString& text,
                            int delayMs, bool activate);

    void setText(const QString& text) { m_text = text; }
    const QString& text() const { return m_text; }
    // Time the pointer must rest before the tip shows; it hides again after ten times as long.
    void setDelayTime(int milliseconds) { m_delay = milliseconds; }
    int delayTime() const { return m_delay; }
    void activate(bool active);
    bool isActive() const { return m_active; }
    bool isShowing() const { return m_showing; }
    // Shows the text at once if the pointer is on the owner (used after the text changed).
    void update();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show();
    void hide();

    QWidget* m_owner;
    QString m_text;
    int m_delay = 500;
    bool m_active = false;
    bool m_showing = false;
    QPoint m_lastPos;
    QTimer m_wait;
    QTimer m_autoPop;
};
