// The main window: its start-up sequence, the skinned set-up of its controls, painting,
// dragging by the background, the window menu, and the small commands (minimise, close,
// home and help pages, profile menu, Edit Profile).
#include "main_dlg.h"

#include "about_dlg.h"
#include "bitmap_slider.h"
#include "catalogue.h"
#include "control_events.h"
#include "dialog_units.h"
#include "executable_folder.h"
#include "job_list.h"
#include "job_list_palette.h"
#include "manual.h"
#include "media_probe.h"
#include "mem_dc.h"
#include "profile_dlg.h"
#include "profile_menu.h"
#include "read_only_combo_box.h"
#include "shell_open.h"
#include "skin_resources.h"
#include "startup_files.h"
#include "string_table.h"
#include "tool_process.h"
#include "update_check_watcher.h"
#include "wx_static.h"

#include <QBitmap>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QWindow>

#include <cstring>
#include <ctime>

namespace {

struct ControlPlace {
    int id;
    QRect rect;
};

// Where the set-up puts each control, in the order it places them.
const ControlPlace kControlPlaces[] = {
    {CMainDlg::IDC_OPEN_FILE, QRect(102, 37, 117, 44)},
    {CMainDlg::IDC_DELETE_FILE, QRect(222, 37, 103, 44)},
    {CMainDlg::IDC_CLEAR, QRect(328, 37, 95, 44)},
    {CMainDlg::IDC_MIN, QRect(543, 24, 13, 6)},
    {CMainDlg::IDC_CLOSE, QRect(565, 19, 16, 14)},
    {CMainDlg::IDC_HELP, QRect(557, 63, 27, 14)},
    {CMainDlg::IDC_HOME, QRect(516, 63, 33, 12)},
    {CMainDlg::IDC_JOB_LIST, QRect(26, 92, 549, 293)},
    {CMainDlg::IDC_BROWSE, QRect(321, 458, 73, 23)},
    {CMainDlg::IDC_OPEN, QRect(402, 458, 59, 23)},
    {CMainDlg::IDC_SETTING, QRect(410, 424, 73, 23)},
    {CMainDlg::IDC_DESTINATION_COMBO, QRect(102, 458, 212, 21)},
    {CMainDlg::IDC_PROFILE_COMBO, QRect(102, 424, 302, 21)},
    {CMainDlg::IDC_PROGRESS, QRect(41, 398, 458, 15)},
    {CMainDlg::IDC_STOP, QRect(500, 411, 87, 87)},
    {CMainDlg::IDC_START, QRect(500, 411, 87, 87)},
};

} // namespace

CMainDlg::CMainDlg(const char* moduleFolder, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Main"));
    setFont(dialogFont());
    createControls();
    buildWindowMenu();
    m_icon = loadAppIcon(IDI_APP_ICON);
    setWindowIcon(m_icon);
    startUp(moduleFolder);
    wireHandlers();
}

// A conversion still running is let go: its encoder finishes its file on its own.
CMainDlg::~CMainDlg() {
    releaseConversionQueue(&m_queue);
}

// The controls of the window, each carrying its control id. The set-up places them.
void CMainDlg::createControls() {
    auto makeButton = [this](int id, const char* caption) {
        auto* button = new CGdipButton(this, id);
        button->setText(QString::fromLatin1(caption)); // never drawn; names the button
        button->setAutoDefault(false);
        return button;
    };
    m_min = makeButton(IDC_MIN, "Min");
    m_close = makeButton(IDC_CLOSE, "Close");
    m_openFile = makeButton(IDC_OPEN_FILE, "Open File");
    m_deleteFile = makeButton(IDC_DELETE_FILE, "Delete File");
    m_clear = makeButton(IDC_CLEAR, "Clear");
    m_setting = makeButton(IDC_SETTING, "Setting");
    m_open = makeButton(IDC_OPEN, "Open");
    m_browse = makeButton(IDC_BROWSE, "Browse");
    m_stop = makeButton(IDC_STOP, "Stop");
    m_start = makeButton(IDC_START, "Start");

    m_jobList = new QTreeWidget(this);
    setControlId(m_jobList, IDC_JOB_LIST);
    // Screen readers say what a control is for; the captions stay as they are.
    m_jobList->setAccessibleName(QStringLiteral("Files"));
    m_min->setAccessibleName(QStringLiteral("Minimize"));
    m_close->setAccessibleName(QStringLiteral("Close"));
    m_profileCombo = new CReadOnlyComboBox(this, IDC_PROFILE_COMBO);
    m_destinationCombo = new QComboBox(this);
    setControlId(m_destinationCombo, IDC_DESTINATION_COMBO);
    m_profileCombo->setAccessibleDescription(QStringLiteral("Profile"));
    m_destinationCombo->setAccessibleDescription(QStringLiteral("Destination"));
    // Each text is shown whole, in a narrower face when the dialog font is too wide. A combo
    // is named by its current text, which is how tools that drive the window read it.
    for (QComboBox* combo : {static_cast<QComboBox*>(m_profileCombo), m_destinationCombo}) {
        connect(combo, &QComboBox::currentTextChanged, combo, [combo](const QString& text) {
            fitComboText(*combo);
            combo->setAccessibleName(text);
        });
    }

    // The skin carries the words of both labels; the labels stay hidden.
    m_destinationLabel = new CwxStatic(this, IDC_DESTINATION_LABEL);
    m_destinationLabel->setText(QStringLiteral("Destination:"));
    m_destinationLabel->setGeometry(26, 458, 72, 21);
    m_profileLabel = new CwxStatic(this, IDC_PROFILE_LABEL);
    m_profileLabel->setText(QStringLiteral("Profile:"));
    m_profileLabel->setGeometry(26, 424, 72, 21);

    m_progress = new CBitmapSlider(this, IDC_PROGRESS);
    m_home = makeButton(IDC_HOME, "HOME");
    m_help = makeButton(IDC_HELP, "HELP");
}

// A window without a title bar has no menu of its own; this one opens on a right click
// on the background and on Alt+Space.
void CMainDlg::buildWindowMenu() {
    m_windowMenu.addAction(QStringLiteral("Mi&nimize"))->setData(SC_MINIMIZE);
    m_windowMenu.addAction(QStringLiteral("&Close"))->setData(SC_CLOSE);
    const QString about = loadString(IDS_ABOUTBOX);
    if (!about.isEmpty()) {
        m_windowMenu.addSeparator();
        m_windowMenu.addAction(about)->setData(IDM_ABOUTBOX);
    }
}

void CMainDlg::startUp(const char* moduleFolder) {
    m_closeAllowed = 0;
    std::memset(m_selectedFolder, 0, sizeof m_selectedFolder);

    const bool folderFound = findModuleFolder(moduleFolder);
    writeInstallDateOnce(installDateFile, std::int64_t(std::time(nullptr)));
    readInstallTime(installDateFile, installMarkerFile, installTime);

    // The version check runs beside the window, which only polls it (TIMER_CHECK_DONE).
    // It starts whether or not its files can be written: a failed write is silent. Only a
    // folder that could not be found leaves it without one. A build made without the check
    // never starts it.
    if constexpr (kUpdateCheckBuiltIn) {
        if (folderFound && !startupFilesFolder.isEmpty()) {
            m_updateCheck = new UpdateCheckWatcher(this);
            m_updateCheck->start(
                updateCheckSettings(QFile::encodeName(startupFilesFolder).constData(), installTime),
                updateNoticeTexts());
        }
    }

    currentProfile = startProfile();
    buildProfileMenu(currentProfile->category->index, m_profileMenu);

    setUpWindow();

    // A folder that was not found leaves both programs unset: they then fail to start,
    // which shows as "FATAL!" rows and files that never appear, never as a wrong program.
    initConversionQueue(&m_queue, QueueOptions{}, this);
    if (!folderFound || setToolProgram(&g_probeProcess, m_moduleFolder, "pb.dat") != 0 ||
        setQueueProgram(&m_queue, m_moduleFolder, "cv.dat") != 0) {
        g_probeProcess.programPath[0] = '\0';
        conversionRun().encoder.programPath[0] = '\0';
    }
}

// The folder of the executable (or the one given), and the small files: inside it, or in
// the user's data folder when it cannot be written (read from it when neither can). A
// folder that cannot be found or does not fit is never cut: no file is then touched.
bool CMainDlg::findModuleFolder(const char* moduleFolder) {
    installDateFile.clear();
    installMarkerFile.clear();
    versionFile.clear();
    startupFilesFolder.clear();
    std::memset(m_moduleFolder, 0, sizeof m_moduleFolder);
    m_moduleFolderW.clear();

    bool found = false;
    if (moduleFolder != nullptr) {
        const std::size_t length = std::strlen(moduleFolder);
        if (length < sizeof m_moduleFolder) {
            std::memcpy(m_moduleFolder, moduleFolder, length);
            found = true;
        }
    } else {
        found = executableFolder(m_moduleFolder, sizeof m_moduleFolder) == 0;
    }
    if (!found) {
        m_moduleFolder[0] = '\0';
        return false;
    }
    m_moduleFolderW = QString::fromLocal8Bit(m_moduleFolder);
    const QString filesFolder = chooseStartupFilesFolder(m_moduleFolderW);
    if (!filesFolder.isEmpty()) {
        composeStartupFiles(filesFolder);
    }
    return true;
}

// The skinned set-up: outline, size, control places and images, list columns, slider,
// both combos, and the controls that start hidden.
void CMainDlg::setUpWindow() {
    m_background = loadSkinBitmap(IDB_BACKGROUND);
    // Logical pixels: on a HiDPI screen the background has twice as many device pixels.
    const QSize backgroundSize = m_background.deviceIndependentSize().toSize();
    m_backgroundWidth = m_background.isNull() ? 600 : backgroundSize.width();
    m_backgroundHeight = m_background.isNull() ? 500 : backgroundSize.height();

    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedSize(m_backgroundWidth, m_backgroundHeight);
    if (!m_background.isNull()) {
        // The outline is in logical pixels: the background at its own size draws it.
        setMask(skinRegion(m_background.devicePixelRatio() == 1.0
                               ? m_background
                               : loadSkinBitmap(IDB_BACKGROUND, 1)));
    }

    placeControls();
    skinButtons();
    setUpJobList();
    setUpProgress();
    fillDestinationCombo();
    showSummaryLine(*m_profileCombo);

    m_profileLabel->hide();
    m_destinationLabel->hide();
    m_stop->hide();
    m_jobList->hide();
}

void CMainDlg::placeControls() {
    for (const ControlPlace& place : kControlPlaces) {
        if (QWidget* control = findControl(this, place.id)) {
            control->setGeometry(place.rect);
        }
    }
}

void CMainDlg::skinButtons() {
    const ButtonImageEntry rows[kSkinTableRows] = {
        {m_close, IDP_CLOSE},
        {m_min, IDP_MIN},
        {m_openFile, IDP_OPEN_FILE},
        {m_deleteFile, IDP_DELETE_FILE},
        {m_clear, IDP_CLEAR},
        {m_open, IDP_OPEN},
        {m_browse, IDP_BROWSE},
        {m_stop, IDP_STOP},
        {m_start, IDP_START},
        {m_setting, IDP_SETTING},
        {m_home, IDP_HOME},
        {m_help, IDP_HELP},
        {nullptr, 0},
    };
    std::copy(std::begin(rows), std::end(rows), m_skinTable);
    LoadButtonImages(m_skinTable);
}

void CMainDlg::setUpJobList() {
    m_jobList->setPalette(jobListPalette(m_jobList->palette()));
    m_jobList->setAlternatingRowColors(true);
    m_jobList->setRootIsDecorated(false);
    m_jobList->setItemsExpandable(false);
    m_jobList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_jobList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_jobList->setAllColumnsShowFocus(true);
    m_jobList->setUniformRowHeights(true);
    m_jobList->setSortingEnabled(false);
    m_jobList->setHeaderLabels({QStringLiteral("File Name"), QStringLiteral("Duration"),
                                QStringLiteral("Output Size"), QStringLiteral("Status")});
    QHeaderView* header = m_jobList->header();
    header->setSectionsClickable(true); // clickable, but nothing is sorted
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int width = m_jobList->width();
    m_jobList->setColumnWidth(kColumnFileName, width / 2);
    m_jobList->setColumnWidth(kColumnDuration, width / 6);
    m_jobList->setColumnWidth(kColumnOutputSize, width / 6);
    m_jobList->setColumnWidth(kColumnStatus, width / 6);
    m_jobList->setContextMenuPolicy(Qt::CustomContextMenu);
    m_jobMenu.addAction(QStringLiteral("Copy details"));
}

// The slider only shows progress: the mouse passes through it to the background, so
// a press on it drags the window like any other background pixel.
void CMainDlg::setUpProgress() {
    m_progress->SetChannelImages(IDB_SLIDER_NORMAL, IDB_SLIDER_ACTIVE, true);
    m_progress->DrawFocusRect(false, false);
    m_progress->SetRange(0, 10000);
    m_progress->SetPos(0);
    m_progress->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_progress->setFocusPolicy(Qt::NoFocus);
    m_progress->update();
}

void CMainDlg::fillDestinationCombo() {
    m_destinationCombo->insertItem(0, QStringLiteral("Browse..."));
    m_destinationCombo->insertItem(1,
                                   QStringLiteral("Save in the same folder as the original file"));
    m_destinationCombo->setCurrentIndex(1);

    const QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (videos.isEmpty() || !QDir().mkpath(videos)) {
        return;
    }
    const QString shown = QDir::toNativeSeparators(videos);
    const QByteArray folder = shown.toLocal8Bit();
    // A folder that does not fit the destination field is not offered rather than cut.
    if (std::size_t(folder.size()) >= sizeof m_selectedFolder) {
        return;
    }
    m_destinationCombo->insertItem(2, shown);
    std::memcpy(m_selectedFolder, folder.constData(), std::size_t(folder.size()) + 1);
    m_destinationCombo->setCurrentIndex(2);
}

// The window's message table, in its order: window menu, painting and dragging (event
// handlers), timers 1000 and 1001, Open File, Delete File, Clear, Start, Stop, the
// destination combo's change and confirmation, Browse, Open, Min, Close, HOME, HELP, the
// profile combo's click request (event()), Setting, dropped files; then the keys that do
// what a button does: Ctrl+O, Delete in the list, F1.
void CMainDlg::wireHandlers() {
    connect(&m_windowMenu, &QMenu::triggered, this,
            [this](QAction* action) { onSystemCommand(action->data().toInt()); });
    auto* altSpace = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
    connect(altSpace, &QShortcut::activated, this,
            [this] { showWindowMenu(mapToGlobal(QPoint(0, 0))); });
    m_pollEncoderTimer.setObjectName(QStringLiteral("TIMER_POLL_ENCODER"));
    m_progressTimer.setObjectName(QStringLiteral("TIMER_PROGRESS"));
    connect(&m_pollEncoderTimer, &QTimer::timeout, this, &CMainDlg::onPollEncoder);
    connect(&m_progressTimer, &QTimer::timeout, this, &CMainDlg::onProgress);
    connect(m_openFile, &QPushButton::clicked, this, &CMainDlg::onOpenFile);
    connect(m_deleteFile, &QPushButton::clicked, this, &CMainDlg::onDeleteFile);
    connect(m_clear, &QPushButton::clicked, this, &CMainDlg::onClear);
    connect(m_start, &QPushButton::clicked, this, &CMainDlg::onStart);
    connect(m_stop, &QPushButton::clicked, this, &CMainDlg::onStop);
    connect(m_destinationCombo, &QComboBox::currentIndexChanged, this,
            &CMainDlg::onDestinationSelChange);
    connect(m_destinationCombo, &QComboBox::activated, this, &CMainDlg::onDestinationSelOk);
    connect(m_browse, &QPushButton::clicked, this, &CMainDlg::onBrowse);
    connect(m_open, &QPushButton::clicked, this, &CMainDlg::onOpen);
    connect(m_min, &QPushButton::clicked, this, &CMainDlg::onMinimize);
    connect(m_close, &QPushButton::clicked, this, &CMainDlg::onClose);
    connect(m_home, &QPushButton::clicked, this, &CMainDlg::onHomePage);
    connect(m_help, &QPushButton::clicked, this, &CMainDlg::onHelpPage);
    connect(m_setting, &QPushButton::clicked, this, &CMainDlg::onSetting);
    connect(m_jobList, &QWidget::customContextMenuRequested, this, &CMainDlg::onJobListMenu);
    connect(&m_jobMenu, &QMenu::triggered, this, [this] { copyJobDetails(m_jobMenuRow); });
    setAcceptDrops(true); // dropped files: dragEnterEvent, dropEvent
    // Each key runs its button's handler, so while converting it does nothing exactly when
    // its button does nothing (Open File, Delete File) and works when it works (HELP).
    auto* openKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this);
    connect(openKey, &QShortcut::activated, this, &CMainDlg::onOpenFile);
    auto* deleteKey = new QShortcut(QKeySequence(Qt::Key_Delete), m_jobList, nullptr, nullptr,
                                    Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, &CMainDlg::onDeleteFile);
    auto* helpKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(helpKey, &QShortcut::activated, this, &CMainDlg::onHelpPage);
}

QRegion CMainDlg::skinRegion(const QImage& background) {
    const QImage pixels = background.convertToFormat(QImage::Format_RGB32);
    // Through QBitmap, a MaskInColor mask gives the region of every pixel that is not the
    // key colour (the tests check this pixel by pixel; MaskOutColor gives the opposite).
    const QImage keyPixels = pixels.createMaskFromColor(SKIN_KEY_COLOR, Qt::MaskInColor);
    return QRegion(QBitmap::fromImage(keyPixels));
}

CGdipButton* CMainDlg::button(int id) const {
    return qobject_cast<CGdipButton*>(findControl(this, id));
}

void CMainDlg::setCellText(int row, int column, const char* text) {
    QTreeWidgetItem* item = m_jobList->topLevelItem(row);
    if (item == nullptr || column < 0 || column >= m_jobList->columnCount()) {
        return;
    }
    item->setText(column, QString::fromLocal8Bit(text != nullptr ? text : ""));
}

void CMainDlg::setConversionState(ConversionState state) {
    if (state == m_state) {
        return;
    }
    m_state = state;
    if (state == ConversionState::Idle) {
        m_progress->SetPos(0);
        m_progress->update();
        m_stop->hide();
        m_start->show();
    } else {
        m_start->hide();
        m_stop->show();
    }
}

bool CMainDlg::event(QEvent* event) {
    if (event->type() == ControlEvent::eventType(WM_COMBO_CLICK)) {
        auto& request = static_cast<ControlEvent&>(*event);
        // The combo never drops its own list: the answer is 0 in every case.
        request.setResult(0);
        onProfileComboClick(request);
        return true;
    }
    return QDialog::event(event);
}

// The background is copied whole, then handed to the buttons and labels so each keeps
// the pixels behind itself to draw over.
void CMainDlg::paintEvent(QPaintEvent*) {
    if (isMinimized()) {
        return;
    }
    QPainter painter(this);
    CMemDC memDc(&painter, rect());
    memDc->drawImage(0, 0, m_background);
    for (const ButtonImageEntry* row = m_skinTable; row->button != nullptr; ++row) {
        row->button->CaptureBackground(&memDc.painter());
    }
    m_profileLabel->CaptureBackground(&memDc.painter(), false);
    m_destinationLabel->CaptureBackground(&memDc.painter(), false);
}

// Any background pixel moves the window; a right click there opens the window menu.
// Key-colour pixels lie outside the window's outline and never arrive here.
void CMainDlg::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (childAt(at) != nullptr) {
        QDialog::mousePressEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton) {
        event->accept();
        if (windowHandle() != nullptr && windowHandle()->startSystemMove()) {
            return;
        }
        // Without a window manager that moves windows, move it ourselves.
        m_dragging = true;
        m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    } else if (event->button() == Qt::RightButton) {
        event->accept();
        showWindowMenu(event->globalPosition().toPoint());
    }
}

void CMainDlg::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - m_dragOffset);
        event->accept();
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void CMainDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (m_dragging && event->button() == Qt::LeftButton) {
        m_dragging = false;
        event->accept();
        return;
    }
    QDialog::mouseReleaseEvent(event);
}

// Enter and Escape do nothing here: there is no default button, and Escape must not
// end the program past the close handling.
void CMainDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CMainDlg::closeEvent(QCloseEvent* event) {
    if (!closeRequest()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
    m_closeAllowed = 1;
}

void CMainDlg::showWindowMenu(const QPoint& globalPos) {
    m_windowMenu.exec(globalPos);
}

void CMainDlg::onSystemCommand(int command) {
    if ((command & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.exec();
    } else if ((command & 0xFFF0) == SC_MINIMIZE) {
        onMinimize();
    } else if ((command & 0xFFF0) == SC_CLOSE) {
        close();
    }
}

void CMainDlg::onMinimize() {
    showMinimized();
}

void CMainDlg::onClose() {
    close();
}

// The manual's first page and its contents; the web addresses only when the manual is
// not installed.
void CMainDlg::onHomePage() {
    openManualPage(kManualFirstPage, IDS_HOME_PAGE);
}

void CMainDlg::onHelpPage() {
    openManualPage(kManualContents, IDS_WEB_PAGE);
}

void CMainDlg::onProfileComboClick(ControlEvent& request) {
    if (request.source() != m_profileCombo || m_state == ConversionState::Converting) {
        return;
    }
    const QRect anchor(m_profileCombo->mapToGlobal(QPoint(0, 0)), m_profileCombo->size());
    const int command = trackProfileMenu(m_profileMenu, anchor);
    if (!chooseProfileCommand(command)) {
        return;
    }
    refreshAllRows(this);
    showSummaryLine(*m_profileCombo);
}

void CMainDlg::onSetting() {
    if (m_state == ConversionState::Converting) {
        return;
    }
    {
        CProfileDlg dialog(this);
        dialog.exec();
    }
    refreshAllRows(this);
    showSummaryLine(*m_profileCombo);
}
