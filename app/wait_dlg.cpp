// The wait dialog shown while added files are probed, and the call that runs it.
#include "wait_dlg.h"

#include "control_events.h"
#include "worker_thread.h"

#include <QEventLoop>
#include <QFrame>
#include <QLabel>

namespace {

// Template 120 is 296 x 93 dialog units.
constexpr int kDialogWidth = 444;
constexpr int kDialogHeight = 151;

QString g_currentProbeName;

} // namespace

QString currentProbeName() { return g_currentProbeName; }

void setCurrentProbeName(const QString& name) { g_currentProbeName = name; }

CWaitDlg::CWaitDlg(QWidget* parent, const QString& message, WorkerThread* worker, int pollPeriod,
                   int elapsedPeriod)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_message(message), m_worker(worker), m_pollPeriod(pollPeriod),
      m_elapsedPeriod(elapsedPeriod) {
    setModal(true);
    setFixedSize(kDialogWidth, kDialogHeight);
    // The thin border of the template; the dialog itself paints nothing.
    auto* border = new QFrame(this);
    border->setFrameStyle(QFrame::Box | QFrame::Plain);
    border->setGeometry(0, 0, kDialogWidth, kDialogHeight);

    m_messageLabel = new QLabel(this);
    setControlId(m_messageLabel, IDC_WAIT_MESSAGE);
    m_animation = new QLabel(this);
    setControlId(m_animation, IDC_WAIT_ANIMATION);
    m_probeNameLabel = new QLabel(this);
    setControlId(m_probeNameLabel, IDC_WAIT_PROBE_NAME);

    m_pollTimer.setObjectName(QStringLiteral("TIMER_POLL_WORKER"));
    m_elapsedTimer.setObjectName(QStringLiteral("TIMER_ELAPSED"));
    connect(&m_pollTimer, &QTimer::timeout, this, &CWaitDlg::onPollWorker);
    connect(&m_elapsedTimer, &QTimer::timeout, this, &CWaitDlg::onElapsed);
    onInitDialog();
}

CWaitDlg::~CWaitDlg() = default;

void CWaitDlg::onInitDialog() {
    m_animation->hide();
    m_messageLabel->setGeometry(8, 10, 297, 21);
    m_probeNameLabel->setGeometry(32, 114, 390, 20);
    m_messageText = m_message;
    m_tickCount = 0;
    m_pollTimer.start(m_pollPeriod);
    m_elapsedTimer.start(m_elapsedPeriod);
    updateData();
}

void CWaitDlg::onPollWorker() {
    if (m_worker == nullptr || !m_worker->hasEnded())
        return;
    m_worker->join();
    m_worker = nullptr;
    m_pollTimer.stop();
    m_elapsedTimer.stop();
    accept();
}

void CWaitDlg::onElapsed() {
    // Whole seconds at the 500 ms period the caller uses.
    m_probeNameText = QStringLiteral("%1 [%2s]").arg(currentProbeName()).arg(m_tickCount / 2);
    updateData();
    ++m_tickCount;
}

void CWaitDlg::updateData() {
    m_messageLabel->setText(m_messageText);
    m_probeNameLabel->setText(m_probeNameText);
}

void CWaitDlg::reject() {
    if (m_worker != nullptr && !m_worker->hasEnded())
        return;
    QDialog::reject();
}

void runWaitDialog(QWidget* owner, WorkerThread* worker, const QString& message) {
    if (worker->hasEnded()) {
        worker->join();
        return;
    }
    CWaitDlg dialog(owner, message, worker, 100, 500);
    dialog.exec();
    // The dialog refuses every early close, so the worker has normally ended here. Should
    // it still run, keep serving its calls into this thread instead of blocking in a join
    // it would wait on for ever.
    while (!worker->hasEnded()) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    worker->join();
}
