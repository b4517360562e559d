// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace vantorel::test
{

/// Watches a FIFO while a test runs: once `grace` has passed, it opens the FIFO
/// for writing and closes it again, over and over, so that anything blocked
/// reading it sees its end. A test of code that should never block on the FIFO
/// then fails on `fired()` instead of hanging.
class FifoUnblocker
{
public:
    FifoUnblocker(QString path, std::chrono::milliseconds grace);
    ~FifoUnblocker();
    FifoUnblocker(const FifoUnblocker&) = delete;
    FifoUnblocker& operator=(const FifoUnblocker&) = delete;

    bool fired() const { return m_fired; }

private:
    void watch(std::chrono::milliseconds grace);

    QString m_path;
    std::mutex m_mutex;
    std::condition_variable m_stop;
    bool m_stopping = false;
    std::atomic<bool> m_fired = false;
    std::thread m_thread;
};

} // namespace vantorel::test
