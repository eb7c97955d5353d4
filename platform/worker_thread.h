// A background thread whose end the user-interface thread can poll from a timer.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class WorkerThread {
public:
    WorkerThread() = default;
    // A thread that has not ended is detached, never waited for: closing the
    // program must not hang on a worker that waits for the network.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts `body` on a new thread. Returns false when a thread is still running
    // or none could be created.
    bool start(std::function<void()> body);
    // True once started and until its body has returned.
    bool isRunning() const;
    // True when the last started body has returned (false before any start).
    bool hasEnded() const;
    // Waits for the body to return; does nothing when no thread was started.
    void join();

private:
    std::thread m_thread;
    std::shared_ptr<std::atomic<bool>> m_ended;
};
