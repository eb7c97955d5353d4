// A stand-in for a skinned window: paints a known pattern, hands it to its buttons and labels as
// the main window does, answers WM_COMBO_CLICK as told and records every control notification.
#pragma once

#include <QImage>
#include <QWidget>

#include <vector>

#include "control_events.h"

class TestParent : public QWidget {
    Q_OBJECT
public:
    enum class ComboAnswer { Ignore, Refuse, Agree };

    explicit TestParent(QSize size = QSize(300, 200));

    // The pattern at a pixel: each pixel differs from its neighbours, so a shifted or
    // misplaced copy shows.
    static QRgb patternAt(int x, int y);

    struct Received {
        int type;
        QWidget* source;
        int controlId;
        int value;
    };
    std::vector<Received> received;
    ComboAnswer comboAnswer = ComboAnswer::Ignore;
    // When false the parent does not hand its background over (the controls capture it themselves).
    bool handOverBackground = true;

    // Paints this widget with its children into an image at device pixel ratio 1.
    QImage renderAll();
    // Delivers posted control events and returns how many of `type` arrived so far.
    int count(int type);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};

// Writes a look under the build folder for inspection.
void writeLook(const QImage& image, const QString& name);
