// CBitmapSlider, a horizontal slider drawn from two channel images: the active image left of the
// position, the normal one right of it; it reads as a progress bar and can be dragged.
#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

class CBitmapSlider : public QWidget {
    Q_OBJECT
public:
    explicit CBitmapSlider(QWidget* parent = nullptr, int controlId = 0);
    ~CBitmapSlider() override;

    // Loads the two 24-bit channel bitmaps by id, builds their key-colour masks (drawn through
    // when `transparent`) and sizes the control to them. False when either fails: no channel then.
    bool SetChannelImages(int normalId, int activeId, bool transparent);
    // The same from images in memory (a null `active` means a channel without an active image).
    bool SetChannelImages(const QImage& normal, const QImage& active, bool transparent);

    void SetRange(int minimum, int maximum);
    // Lowered to the maximum, then raised to the minimum; repaints.
    void SetPos(int position);
    void SetPageSize(int size) { m_pageSize = size; }
    void DrawFocusRect(bool draw = true, bool redraw = false);

    int GetPos() const { return m_pos; }
    int GetRangeMin() const { return m_min; }
    int GetRangeMax() const { return m_max; }
    int GetPageSize() const { return m_pageSize; }
    bool hasChannel() const { return m_channelPresent; }
    bool isDragging() const { return m_dragging; }

    // The two mappings between position and channel pixel; both truncate toward zero, so they
    // are not each other's inverse. A range of zero width maps everything to pixel 0 and to the
    // minimum.
    int positionToPixel(int position) const;
    int pixelToPosition(int pixel) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void dragTo(int x);
    void post(int type);
    void freeImages();

    int m_max = 100;
    int m_min = 0;
    int m_pos = 0;
    int m_pageSize = 20;
    QRect m_paintArea;
    int m_channelWidth = 0;
    int m_channelHeight = 0;
    bool m_activePresent = false;
    bool m_transparent = false;
    bool m_channelPresent = false;
    bool m_dragging = false;
    bool m_hasFocus = false;
    bool m_drawFocusRect = true;
    QImage m_channel;
    QImage m_channelMask;
    QImage m_active;
    QImage m_activeMask;
};
