// CwxStatic, a text label drawn over a saved copy of what lies behind it, optionally in a colour,
// underlined and with a hand pointer (a link); it tells its parent about hover, leave and right
// clicks.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QString>
#include <QTimer>

#include <optional>

class CToolTipCtrl;

class CwxStatic : public QLabel {
    Q_OBJECT
public:
    // Longest text drawn; the rest is cut.
    static constexpr int kMaxTextLength = 259;
    // Rest time after which the parent hears WM_LABEL_HOVER.
    static constexpr int kHoverTime = 400;

    explicit CwxStatic(QWidget* parent = nullptr, int controlId = 0);
    ~CwxStatic() override;

    // Takes the background once: with `fill`, a solid rectangle of the parent's window colour;
    // otherwise the pixels of `source` (which paints in the parent's coordinates) under the label.
    // Then the string whose id is the control id, if any, becomes the tooltip.
    void CaptureBackground(QPainter* source, bool fill);
    // As the image button's, with a 400 ms delay.
    void SetTooltipText(const QString& text, bool activate = true);
    void SetTooltipFromResource(int id);

    void SetTextColor(const QColor& color) { m_textColor = color; update(); }
    void SetUnderline(bool underline) { m_underline = underline; update(); }
    void SetLinkCursor(bool linkCursor);
    // A label receives mouse input (notifications, clicks, pointer) only with notify on; without
    // it, clicks pass through to the window behind it. Off by default.
    void SetNotify(bool notify);
    // Qt alignment flags; left and vertically centred by default, always one line.
    void SetTextFormat(Qt::Alignment format) { m_format = format; update(); }

    QColor textColor() const { return m_textColor; }
    bool underline() const { return m_underline; }
    bool linkCursor() const { return m_linkCursor; }
    bool notify() const { return m_notify; }
    bool hasOwnFont() const { return m_font.has_value(); }
    const QImage& background() const { return m_background; }
    const QString& tooltipText() const { return m_tooltipText; }
    CToolTipCtrl* tooltipControl() const { return m_tooltip; }
    // The text as drawn: the window text cut to kMaxTextLength UTF-16 units (one fewer when the
    // cut would split a character in two).
    QString drawnText() const;

signals:
    // A left click on a label with notify on.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void tooltipFromControlId();
    void sendToParent(int type);
    void onHover();

    QImage m_background;
    Qt::Alignment m_format = Qt::AlignLeft | Qt::AlignVCenter;
    QColor m_textColor = Qt::black;
    bool m_linkCursor = false;
    bool m_tracking = false;
    bool m_underline = false;
    bool m_notify = false;
    bool m_pressed = false;
    std::optional<QFont> m_font;
    CToolTipCtrl* m_tooltip = nullptr; // child QObject, deleted with the label
    QString m_tooltipText;
    QTimer m_hoverTimer;
};
