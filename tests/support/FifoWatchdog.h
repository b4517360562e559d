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

/// Guards a test of code that must never wait on a named pipe. Once
/// `patience` has passed, it keeps opening the other end of the pipe for a
/// moment, over and over: a reader held by it then sees its end, and a writer
/// held by it gets a reader that drains what it writes. So a test that blocks
/// comes back and fails on fired() instead of hanging.
class FifoWatchdog
{
public:
    explicit FifoWatchdog(
        const QString& fifo, std::chrono::milliseconds patience = std::chrono::seconds(10));
    ~FifoWatchdog();
    FifoWatchdog(const FifoWatchdog&) = delete;
    FifoWatchdog& operator=(const FifoWatchdog&) = delete;

    /// True when the test still ran after `patience`: held by the pipe.
    bool fired() const { return m_fired; }

private:
    void watch(std::chrono::milliseconds patience);
    /// Lets go of a reader or a writer held by the pipe, if there is one.
    void releaseOnce();

    QByteArray m_fifo;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    std::atomic<bool> m_fired = false;
    std::thread m_thread;
};

} // namespace vantorel::test
