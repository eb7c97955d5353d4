// CWaitDlg: the small topmost window shown while the probing worker reads the added files.
// It closes itself when the worker has ended and shows the file being read with the
// seconds elapsed.
#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>

class QLabel;
class WorkerThread;

// Timer ids of the wait dialog.
inline constexpr int TIMER_POLL_WORKER = 100;
inline constexpr int TIMER_ELAPSED = 101;

// Control ids of dialog template 120.
inline constexpr int IDC_WAIT_MESSAGE = 1030;
inline constexpr int IDC_WAIT_ANIMATION = 1031;
inline constexpr int IDC_WAIT_PROBE_NAME = 1032;

class CWaitDlg : public QDialog {
    Q_OBJECT
public:
    // `worker` is joined by the dialog once it has ended; the caller keeps owning it.
    CWaitDlg(QWidget* parent, const QString& message, WorkerThread* worker, int pollPeriod = 100,
             int elapsedPeriod = 1000);
    ~CWaitDlg() override;

    int tickCount() const { return m_tickCount; }
    QLabel* messageLabel() const { return m_messageLabel; }
    QLabel* probeNameLabel() const { return m_probeNameLabel; }
    const QTimer& pollTimer() const { return m_pollTimer; }
    const QTimer& elapsedTimer() const { return m_elapsedTimer; }

public slots:
    // Escape and the window manager's close both land here: refused while the worker
    // runs, because an early return would let the caller touch the job list while the
    // worker still appends to it.
    void reject() override;

private:
    void onInitDialog();
    void onPollWorker();
    void onElapsed();
    void updateData();

    QString m_message;
    WorkerThread* m_worker;
    int m_pollPeriod;
    int m_elapsedPeriod;
    int m_tickCount = 0;
    QString m_messageText;
    QString m_probeNameText;
    QLabel* m_messageLabel;
    QLabel* m_animation;
    QLabel* m_probeNameLabel;
    QTimer m_pollTimer;
    QTimer m_elapsedTimer;
};

// Shows the wait dialog over `owner` until `worker` has ended, and joins the worker.
// Shows nothing when the worker has already ended at the first look.
void runWaitDialog(QWidget* owner, WorkerThread* worker, const QString& message);

// The path the probing worker is reading, shown by the wait dialog. Written on the
// user-interface thread only (the worker posts it there), so no lock is needed.
QString currentProbeName();
void setCurrentProbeName(const QString& name);
