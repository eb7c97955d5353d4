// CMainDlg, the program's main window: frameless and shaped by its skin, with the job
// list, the image buttons, the progress slider and the profile and destination combos.
// It is the row view through which the job list writes its cells.
#pragma once

#include "conversion_job.h"
#include "conversion_queue.h"
#include "gdip_button.h"
#include "job_row_view.h"
#include "job_run_view.h"
#include "launcher_entry.h"

#include <QDialog>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QPoint>
#include <QRegion>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <cstdint>

class CBitmapSlider;
class CReadOnlyComboBox;
class CwxStatic;
class UpdateCheckWatcher;
class ControlEvent;
class QComboBox;
class QTreeWidget;
struct PendingPaths;

// Whether a conversion run is under way; while it is, the commands that change jobs,
// profile or destination through dialogs do nothing.
enum class ConversionState : std::int32_t { Idle = 0, Converting = 1 };

class CMainDlg : public QDialog, public JobRowView, public JobRunView {
    Q_OBJECT

public:
    enum { IDD = 102 };
    enum ControlId {
        IDC_MIN = 1000,
        IDC_CLOSE = 1001,
        IDC_OPEN_FILE = 1002,
        IDC_DELETE_FILE = 1003,
        IDC_CLEAR = 1004,
        IDC_SETTING = 1005,
        IDC_OPEN = 1006,
        IDC_BROWSE = 1007,
        IDC_STOP = 1008,
        IDC_START = 1009,
        IDC_JOB_LIST = 1010,
        IDC_PROFILE_COMBO = 1011,
        IDC_DESTINATION_COMBO = 1012,
        IDC_DESTINATION_LABEL = 1013,
        IDC_PROFILE_LABEL = 1014,
        IDC_PROGRESS = 1015,
        IDC_HOME = 1018,
        IDC_HELP = 1019,
    };
    // Commands of the window menu; the low four bits of a command are ignored.
    static constexpr int IDM_ABOUTBOX = 0x0010;
    static constexpr int SC_MINIMIZE = 0xF020;
    static constexpr int SC_CLOSE = 0xF060;

    // `moduleFolder` is the folder that holds cv.dat, pb.dat and the small files;
    // nullptr means the executable's own folder.
    explicit CMainDlg(const char* moduleFolder = nullptr, QWidget* parent = nullptr);
    ~CMainDlg() override;

    // JobRowView: writes one cell of an existing row; other rows and columns are ignored.
    void setCellText(int row, int column, const char* text) override;
    // JobRunView: the status cell of the job's row from its percentage and verdict, the
    // note as its tooltip, the run's share for the taskbar, the "Error" box of a folder
    // that refuses new files.
    void jobStarted(const ConversionJob& job, const char* outputPath) override;
    void jobProgress(const ConversionJob& job, float percent, const char* text) override;
    void jobEnded(const JobVerdict& verdict) override;
    void showJobNote(const ConversionJob& job) override;
    void queueProgress(int done, int total) override;
    void folderRefused(const ConversionJob& job, const char* folder) override;
    bool skipJob(const ConversionJob& job) override;
    // The queue's one lane, which converts the list one job at a time; its encoder is cv.dat.
    ConversionRun& conversionRun() { return queueLane(&m_queue, 0); }

    ConversionState conversionState() const { return m_state; }
    // Switches the state and swaps Start and Stop; the state already in force changes nothing.
    void setConversionState(ConversionState state);

    // Adds `paths` as a drop of them would, once the event loop runs: a file manager's
    // "Open With" names them on the command line. 1024 paths or more are ignored whole.
    void addDroppedPaths(const QStringList& paths);

    // The executable's folder (8-bit, empty when it could not be found or does not fit).
    const char* moduleFolder() const { return m_moduleFolder; }
    const QString& moduleFolderW() const { return m_moduleFolderW; }
    // The destination folder (8-bit); empty means beside each source file.
    const char* selectedFolder() const { return m_selectedFolder; }

    QTreeWidget* jobList() const { return m_jobList; }
    CBitmapSlider* progressSlider() const { return m_progress; }
    CReadOnlyComboBox* profileCombo() const { return m_profileCombo; }
    QComboBox* destinationCombo() const { return m_destinationCombo; }
    CGdipButton* button(int controlId) const;
    QMenu& profileMenu() { return m_profileMenu; }
    QMenu& windowMenu() { return m_windowMenu; }
    const QImage& background() const { return m_background; }
    // The background version check started at start-up (nullptr without a folder).
    UpdateCheckWatcher* updateCheck() const { return m_updateCheck; }

    // The menu a right click on a job's row opens ("Copy details").
    QMenu& jobMenu() { return m_jobMenu; }
    // Puts the row's file, status and note on the clipboard; other rows are ignored.
    void copyJobDetails(int row);

    // The window's outline: every pixel of the background that is not SKIN_KEY_COLOR.
    static QRegion skinRegion(const QImage& background);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void startUp(const char* moduleFolder);
    bool findModuleFolder(const char* moduleFolder);
    void createControls();
    void buildWindowMenu();
    void setUpWindow();
    void placeControls();
    void skinButtons();
    void setUpJobList();
    void setUpProgress();
    void fillDestinationCombo();
    void wireHandlers();

    void onSystemCommand(int command);
    void onMinimize();
    void onClose();
    void onHomePage();
    void onHelpPage();
    void onProfileComboClick(ControlEvent& request);
    void onSetting();
    void showWindowMenu(const QPoint& globalPos);

    // Adding files (adding_files.cpp).
    void onOpenFile();
    void onDeleteFile();
    void onClear();
    void addFiles(const PendingPaths& pending);
    // Destination (destination.cpp).
    void onDestinationSelChange(int index);
    void onDestinationSelOk(int index);
    void onBrowse();
    void onOpen();
    void takeChosenFolder(const QString& folder);
    void restoreDestinationSelection();
    // Conversion control (conversion_control.cpp).
    void onStart();
    void onStop();
    RunStart startNextJob();
    void onPollEncoder();
    void onProgress();
    bool closeRequest();
    // What the desktop hears of a run (run_feedback.cpp).
    void followRunStarted();
    void followJobStarted(const ConversionJob& job);
    void followProgress(double percent);
    void followRunEnded();
    // Job details (job_details.cpp).
    void onJobListMenu(const QPoint& at);

    // Fields in the order the window's parts use them.
    std::uint8_t m_closeAllowed = 0;
    QMenu m_profileMenu;
    char m_selectedFolder[kPathSize] = {};
    ConversionQueue m_queue; // one lane: the list's jobs from the first, one at a time
    ConversionState m_state = ConversionState::Idle;
    char m_moduleFolder[kPathSize] = {};
    QString m_moduleFolderW;
    int m_backgroundWidth = 0;
    int m_backgroundHeight = 0;
    QImage m_background;
    static constexpr int kSkinTableRows = 13; // 12 buttons and the closing row
    ButtonImageEntry m_skinTable[kSkinTableRows] = {};
    QIcon m_icon;
    UpdateCheckWatcher* m_updateCheck = nullptr; // a child of the window

    CGdipButton* m_close = nullptr;
    CGdipButton* m_min = nullptr;
    CGdipButton* m_openFile = nullptr;
    CGdipButton* m_deleteFile = nullptr;
    CGdipButton* m_clear = nullptr;
    CGdipButton* m_open = nullptr;
    CGdipButton* m_browse = nullptr;
    CGdipButton* m_stop = nullptr;
    CGdipButton* m_start = nullptr;
    CGdipButton* m_setting = nullptr;
    CGdipButton* m_home = nullptr;
    CGdipButton* m_help = nullptr;
    CwxStatic* m_profileLabel = nullptr;
    CwxStatic* m_destinationLabel = nullptr;
    QTreeWidget* m_jobList = nullptr;
    CBitmapSlider* m_progress = nullptr;
    CReadOnlyComboBox* m_profileCombo = nullptr;
    QComboBox* m_destinationCombo = nullptr;

    // How the current run goes, for the taskbar entry and the notice at its end.
    struct RunTally {
        int jobs = 0;  // in the list when the run started
        int ended = 0; // converted or failed so far (the queue's count)
        int converted = 0;
        QStringList failedNames;
    };
    RunTally m_runTally;
    LauncherEntry m_launcherEntry;

    QTimer m_pollEncoderTimer; // TIMER_POLL_ENCODER
    QTimer m_progressTimer;    // TIMER_PROGRESS

    // The window menu (Minimize, Close, About) of a window without a title bar.
    QMenu m_windowMenu;
    QMenu m_jobMenu;
    int m_jobMenuRow = -1; // the row the job menu was opened on
    // Dragging by the background when the window system cannot move the window itself.
    bool m_dragging = false;
    QPoint m_dragOffset;
};
