// CGdipButton, a push button drawn from one PNG with per-pixel alpha over the parent's pixels,
// with normal, hover and pressed looks built once; and LoadButtonImages, which skins a window's
// buttons from a table.
#pragma once

#include <QImage>
#include <QPushButton>
#include <QString>

#include <cstdint>
#include <memory>

class CGdiPlusBitmapResource;
class CToolTipCtrl;

class CGdipButton : public QPushButton {
    Q_OBJECT
public:
    explicit CGdipButton(QWidget* parent = nullptr, int controlId = 0);
    ~CGdipButton() override;

    // Gives the button its image; the button owns it from now on. Set once, before the first paint.
    void SetImage(CGdiPlusBitmapResource* image);
    const CGdiPlusBitmapResource* image() const { return m_image.get(); }
    // Empty text: nothing happens (no tooltip control is created). Otherwise the tooltip control
    // is made if needed, takes the text, waits 1000 ms, and is switched on or off by `activate`.
    void SetTooltipText(const QString& text, bool activate = true);
    const QString& tooltipText() const { return m_tooltipText; }
    CToolTipCtrl* tooltipControl() const { return m_tooltip; }
    // Takes the parent's pixels under the button from `source`, which paints in the parent's
    // coordinates (call it from the parent's paint after the background is drawn). Once only.
    void CaptureBackground(QPainter* source);

    bool isHovering() const { return m_hovering; }
    bool imagesReady() const { return m_imagesReady; }
    // The three prepared looks (null until built); painting copies one of them.
    const QImage& background() const { return m_background; }
    const QImage& normalLook() const { return m_normal; }
    const QImage& pressedLook() const { return m_pressed; }
    const QImage& hoverLook() const { return m_hover; }

    // The hover colour matrix applied to one straight-alpha ARGB image: every colour component
    // c (0..1) becomes min(1, 1.05 c + 0.05); alpha is left as it is.
    static QImage applyHoverMatrix(const QImage& image);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void buildLooks(QPainter& own);

    std::unique_ptr<CGdiPlusBitmapResource> m_image;
    bool m_imagesReady = false;
    bool m_hovering = false;
    QString m_tooltipText;
    CToolTipCtrl* m_tooltip = nullptr; // child QObject, deleted with the button
    QImage m_background;
    QImage m_normal;
    QImage m_pressed;
    QImage m_hover;
    const QImage* m_current = nullptr;
};

// One row of a window's skin table: a button and the id of its "WXPNG" image. The table ends
// with a row whose button is null.
struct ButtonImageEntry {
    CGdipButton* button;
    std::uint32_t imageId;
};

// For every row: a new image given to the button and loaded with the row's id (a failure leaves
// it empty), and the string whose id is the button's control id as its tooltip, if there is one.
void LoadButtonImages(const ButtonImageEntry* table);
