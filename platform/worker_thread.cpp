// Background threads with an "ended" flag that outlives a detached thread's owner.
#include "worker_thread.h"

#include <system_error>

WorkerThread::~WorkerThread() {
    if (!m_thread.joinable()) {
        return;
    }
    if (hasEnded()) {
        m_thread.join();
    } else {
        m_thread.detach();
    }
}

bool WorkerThread::start(std::function<void()> body) {
    if (isRunning()) {
        return false;
    }
    join(); // reap a previous run that has ended
    auto ended = std::make_shared<std::atomic<bool>>(false);
    try {
        m_thread = std::thread([ended, body = std::move(body)] {
            body();
            ended->store(true, std::memory_order_release);
        });
    } catch (const std::system_error&) {
        return false;
    }
    m_ended = std::move(ended);
    return true;
}

bool WorkerThread::isRunning() const { return m_thread.joinable() && !hasEnded(); }

bool WorkerThread::hasEnded() const {
    return m_ended && m_ended->load(std::memory_order_acquire);
}

void WorkerThread::join() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}
