// CReadOnlyComboBox, a drop-down list that asks its parent (WM_COMBO_CLICK) before a mouse click
// may open it; the keyboard works as in any combo box.
#pragma once

#include <QComboBox>

class CReadOnlyComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CReadOnlyComboBox(QWidget* parent = nullptr, int controlId = 0);
    ~CReadOnlyComboBox() override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // Sends WM_COMBO_CLICK to the parent; true when it answered non-zero.
    bool askParent();
};
