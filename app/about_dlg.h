// CAboutDlg: the product's name and version, a copyright line, and the maker's name as
// a link to the home page.
#pragma once

#include <QDialog>

class CwxStatic;
class QLabel;

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    enum { IDD = 100 };
    enum ControlId {
        IDC_PRODUCT = 1033,
        IDC_COPYRIGHT = 1034,
        IDC_MAKER_LINK = 1035,
    };

    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

    CwxStatic* product() const { return m_product; }
    CwxStatic* copyright() const { return m_copyright; }
    CwxStatic* makerLink() const { return m_makerLink; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void createControls();
    void initDialog();
    void wireHandlers();
    void onMakerLink();

    QLabel* m_icon = nullptr;
    CwxStatic* m_product = nullptr;
    CwxStatic* m_copyright = nullptr;
    CwxStatic* m_makerLink = nullptr;
};
