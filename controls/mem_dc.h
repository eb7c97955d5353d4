// CMemDC, the off-screen drawing surface used for every paint of the skinned controls, and the
// shared drawing operations: background capture, key-colour masks, masked copies, texts.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>

class QString;
class QWidget;

// The transparent colour of the skin: outside the main window's outline, and wherever the
// slider's channel images should let the background show.
inline constexpr QRgb SKIN_KEY_COLOR = 0xFF011680; // RGB(1, 22, 128)

// Collects all drawing of one paint off-screen and copies it to the target in one block when it
// goes out of scope. Draw through `painter()` (or `->`) in the target's logical coordinates.
// An all-zero area (QRect(0, 0, 0, 0), the same as QRect()) stands for the target's clip box.
// With copyFirst the surface starts as a copy of what the target shows in the area; otherwise it
// starts transparent and the caller paints all of it. Targets that are not pixel surfaces
// (printers, PDF writers, recorded pictures) are drawn on directly and nothing is copied.
class CMemDC {
public:
    CMemDC(QPainter* target, QRect area = QRect(), bool copyFirst = false);
    ~CMemDC();
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    QPainter& painter() { return m_offScreen ? m_painter : *m_target; }
    QPainter* operator->() { return &painter(); }
    // The part of the target that is painted, in the target's logical coordinates.
    QRect area() const { return m_area; }
    bool isOffScreen() const { return m_offScreen; }
    // The off-screen pixels (null when drawing goes straight to the target).
    const QImage& surface() const { return m_surface; }

private:
    QPainter* m_target;
    QRect m_area;
    bool m_offScreen;
    QImage m_surface;
    QPainter m_painter;
};

// The pixels that `painter` has drawn so far in `logicalRect` (its own logical coordinates),
// read back from the device it paints on (an image, a pixmap or a window's backing store).
// Returns a null image when that device cannot be read.
QImage grabPainterArea(QPainter& painter, const QRect& logicalRect);

// Stores in `background` the pixels of `source` under `control`. `source` paints in the
// coordinates of the control's parent (the parent's paint painter, or a CMemDC over it).
// Does nothing when `background` already holds an image: the copy is taken once.
void CaptureParentBackground(const QWidget& control, QPainter& source, QImage& background);

// Makes `mask` a monochrome image of `source`'s size: white where `source` has SKIN_KEY_COLOR,
// black elsewhere; then turns those key pixels of `source` itself black. `source` becomes a
// 32-bit opaque image and is meant to be drawn only through DrawMasked afterwards.
void MakeKeyColorMask(QImage& mask, QImage& source);

// Copies the (width x height) block of `source` at (sourceX, sourceY) to (x, y) of `destination`
// through `mask`: the destination keeps its pixels where the mask is white. All of it in logical
// pixels: an image with a device pixel ratio of 2 (and its mask) is read at twice the coordinates.
void DrawMasked(QPainter& destination, int x, int y, int width, int height, const QImage& source,
                int sourceX, int sourceY, const QImage& mask);

// Sets the window text (label or button text, or the title of a top-level window) to string `id`
// of the string table; an id without a string gives the empty text.
void SetWindowTextFromResource(int id, QWidget* window);
