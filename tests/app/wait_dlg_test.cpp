// The wait dialog on its own: its layout, closing itself when the worker ends, refusing
// an early close, and not showing at all for a worker that has already ended.
#include "wait_dlg.h"

#include "window_fixture.h"
#include "worker_thread.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// A worker that runs until told to end.
class HeldWorker {
public:
    HeldWorker() {
        m_worker.start([this] {
            while (!m_release.load())
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        });
    }
    ~HeldWorker() {
        release();
        m_worker.join();
    }
    void release() { m_release.store(true); }
    WorkerThread* thread() { return &m_worker; }

private:
    std::atomic<bool> m_release{false};
    WorkerThread m_worker;
};

TEST(WaitDlg, LaysOutTheTemplateAndHidesTheAnimation) {
    HeldWorker worker;
    CWaitDlg dialog(nullptr, QStringLiteral("Reading"), worker.thread(), 100, 500);
    EXPECT_EQ(dialog.size(), QSize(444, 151));
    EXPECT_EQ(dialog.messageLabel()->geometry(), QRect(8, 10, 297, 21));
    EXPECT_EQ(dialog.probeNameLabel()->geometry(), QRect(32, 114, 390, 20));
    EXPECT_EQ(dialog.messageLabel()->text(), "Reading");
    EXPECT_TRUE(dialog.findChild<QLabel*>() != nullptr);
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(dialog.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(dialog.pollTimer().interval(), 100);
    EXPECT_EQ(dialog.elapsedTimer().interval(), 500);
    EXPECT_EQ(dialog.tickCount(), 0);
}

TEST(WaitDlg, ClosesItselfWhenTheWorkerEndsAndNotBefore) {
    HeldWorker worker;
    CWaitDlg dialog(nullptr, QStringLiteral("Reading"), worker.thread(), 100, 500);
    QTimer::singleShot(50, &dialog, [&dialog] {
        dialog.reject(); // Escape and the close box land here
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QTimer::singleShot(400, [&worker] { worker.release(); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_GE(clock.elapsed(), 400);
    EXPECT_LT(clock.elapsed(), 1500);
    EXPECT_FALSE(worker.thread()->isRunning());
}

TEST(WaitDlg, TheElapsedLineCountsWholeSeconds) {
    HeldWorker worker;
    setCurrentProbeName(QStringLiteral("/music/a.wma"));
    CWaitDlg dialog(nullptr, QStringLiteral("Reading"), worker.thread(), 100, 500);
    QStringList lines;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const QString line = dialog.probeNameLabel()->text();
        if (lines.isEmpty() || lines.back() != line)
            lines << line;
        if (dialog.tickCount() == 4)
            worker.release();
    });
    sampler.start(10);
    dialog.exec();
    EXPECT_EQ(lines, QStringList({"", "/music/a.wma [0s]", "/music/a.wma [1s]"}));
}

TEST(WaitDlg, NoDialogForAWorkerThatHasAlreadyEnded) {
    WorkerThread worker;
    ASSERT_TRUE(worker.start([] {}));
    ASSERT_TRUE(waitUntil([&worker] { return worker.hasEnded(); }, 2000));
    ModalWatcher watcher([](QWidget* open) { open->close(); });
    runWaitDialog(nullptr, &worker, QStringLiteral("Reading"));
    QTest::qWait(30);
    EXPECT_FALSE(watcher.seen());
}

TEST(WaitDlg, TheWorkerCanCallIntoTheWindowThreadWhileTheDialogRuns) {
    QWidget target;
    std::atomic<int> calls{0};
    WorkerThread worker;
    ASSERT_TRUE(worker.start([&] {
        for (int i = 0; i < 20; ++i) {
            QMetaObject::invokeMethod(&target, [&calls] { ++calls; }, Qt::BlockingQueuedConnection);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }));
    runWaitDialog(nullptr, &worker, QStringLiteral("Reading"));
    EXPECT_EQ(calls.load(), 20);
    EXPECT_FALSE(worker.isRunning());
}

} // namespace
