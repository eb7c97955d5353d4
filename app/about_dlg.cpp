// The about box. Its labels draw over a plain fill of the dialog's own colour.
#include "about_dlg.h"

#include "resource_ids.h"
#include "dialog_units.h"
#include "manual.h"
#include "mem_dc.h"
#include "shell_open.h"
#include "skin_resources.h"
#include "string_table.h"
#include "wx_static.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(dialogFont());
    setFixedSize(dialogUnits(0, 0, 281, 137).size());
    createControls();
    initDialog();
    wireHandlers();
}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::createControls() {
    m_icon = new QLabel(this);
    m_icon->setGeometry(dialogUnits(11, 14, 21, 20));
    m_product = new CwxStatic(this, IDC_PRODUCT);
    m_product->setTextFormat(Qt::PlainText); // no prefix processing of "&"
    m_product->setGeometry(dialogUnits(44, 14, 226, 10));
    m_copyright = new CwxStatic(this, IDC_COPYRIGHT);
    m_copyright->setGeometry(dialogUnits(44, 32, 226, 10));
    m_makerLink = new CwxStatic(this, IDC_MAKER_LINK);
    m_makerLink->setGeometry(dialogUnits(44, 50, 150, 10));
    m_makerLink->SetNotify(true); // the only label that reports clicks
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setProperty("controlId", 1);
    ok->setGeometry(dialogUnits(224, 116, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void CAboutDlg::initDialog() {
    SetWindowTextFromResource(IDS_ABOUT_TITLE, this);
    const QIcon icon = loadAppIcon(IDI_APP_ICON);
    setWindowIcon(icon);
    m_icon->setPixmap(icon.pixmap(32, 32));

    // The tooltip names what a click opens: the manual's first page when it is installed.
    const QUrl manual = manualPage(kManualFirstPage);
    const QString home = manual.isEmpty() ? loadString(IDS_HOME_PAGE) : manual.toString();
    if (!home.isEmpty()) {
        m_makerLink->SetTooltipText(home, true);
    }
    SetWindowTextFromResource(IDS_ABOUT_PRODUCT, m_product);
    SetWindowTextFromResource(IDS_ABOUT_COPYRIGHT, m_copyright);
    SetWindowTextFromResource(IDS_ABOUT_MAKER, m_makerLink);

    m_makerLink->SetLinkCursor(true);
    m_makerLink->SetUnderline(true);
    m_makerLink->SetTextColor(QColor(0, 0, 255));
    // The link reacts only over its words, not over the empty rest of its line.
    QFont underlined = m_makerLink->font();
    underlined.setUnderline(true);
    const int textWidth = QFontMetrics(underlined).horizontalAdvance(m_makerLink->text()) + 2;
    m_makerLink->resize(std::min(textWidth, m_makerLink->width()), m_makerLink->height());
}

void CAboutDlg::wireHandlers() {
    connect(m_makerLink, &CwxStatic::clicked, this, &CAboutDlg::onMakerLink);
}

// Each label keeps a plain fill of the dialog's colour to draw its text over.
void CAboutDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    m_product->CaptureBackground(&painter, true);
    m_copyright->CaptureBackground(&painter, true);
    m_makerLink->CaptureBackground(&painter, true);
}

void CAboutDlg::onMakerLink() {
    openManualPage(kManualFirstPage, IDS_HOME_PAGE);
}
